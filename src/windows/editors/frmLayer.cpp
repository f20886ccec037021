#include "windows/editors/frmLayer.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "windows/WidgetNames.h"
#include "windows/editors/CellGrid.h"

namespace delvar::windows {

frmLayer::frmLayer(editors::EditorContext& context, QWidget* parent) : QDialog(parent) {
    setObjectName("frmLayer");
    setWindowTitle("Layer Edit");
    setModal(true);
    static constexpr const char* kNames[editors::kLayerGrids] = {"grdLayer1", "grdLayer2",
                                                                 "grdLayer3"};
    for (int g = 0; g < editors::kLayerGrids; ++g) grids_[g] = new CellGrid(kNames[g]);
    logic_ = std::make_unique<editors::LayerEditor>(
        context,
        std::array<editors::GridView*, editors::kLayerGrids>{grids_[0], grids_[1], grids_[2]});
    BuildControls();
    ShowFilm();
    const bool online = logic_->TransfersAllowed();
    cmdUpLoad_->setEnabled(online);
    cmdDnLoad_->setEnabled(online);

    connect(cboFilms_, &QComboBox::currentIndexChanged, this, [this](int position) {
        if (logic_->FilmChosen(position) != position) ShowFilm();
    });
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        logic_->Cancel();
        reject();
    });
    connect(cmdUpLoad_, &QPushButton::clicked, this, [this] { Transfer(true); });
    connect(cmdDnLoad_, &QPushButton::clicked, this, [this] { Transfer(false); });
}

// The logic goes first: closing the grids afterwards must not reach it.
frmLayer::~frmLayer() {
    logic_.reset();
}

void frmLayer::BuildControls() {
    auto* lblFilms = new QLabel("Film:");
    lblFilms->setObjectName("lblFilms");
    cboFilms_ = new QComboBox;
    cboFilms_->setObjectName("cboFilms");
    for (const std::string& name : logic_->FilmNames())
        cboFilms_->addItem(QString::fromStdString(name).trimmed());
    cboFilms_->setMaxVisibleItems(20);
    lblFilms->setBuddy(cboFilms_);
    auto* film = new QHBoxLayout;
    film->addWidget(lblFilms);
    film->addWidget(cboFilms_);
    film->addStretch();

    auto* grids = new QHBoxLayout;
    for (CellGrid* grid : grids_) {
        grid->FitToContents(grid->fontMetrics().horizontalAdvance("00:00:00") + 24);
        grids->addWidget(grid, 0, Qt::AlignTop);
    }

    cmdUpLoad_ = Button("cmdUpLoad", "<- UpLoad", "Read this layer from the instrument.");
    cmdDnLoad_ = Button("cmdDnLoad", "DnLoad ->", "Send this layer to the instrument.");
    cmdOK_ = Button("cmdOK", "&OK", "Close and keep the changes.");
    cmdCancel_ = Button("cmdCancel", "&Cancel", "Close and abandon the changes.");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdUpLoad_);
    buttons->addWidget(cmdDnLoad_);
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);

    auto* all = new QVBoxLayout(this);
    all->addLayout(film);
    all->addLayout(grids);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);
}

void frmLayer::ShowFilm() {
    const QSignalBlocker quiet(cboFilms_);
    cboFilms_->setCurrentIndex(logic_->FilmPosition());
}

// The rest of the window waits while the layer moves: every reply wait runs events.
void frmLayer::Transfer(bool upload) {
    {
        const TransferScope scope(lock_);
        upload ? logic_->Upload() : logic_->Download();
    }
    ShowFilm();
}

void frmLayer::reject() {
    if (!lock_.DeferClose([this] { QDialog::reject(); })) QDialog::reject();
}

}  // namespace delvar::windows
