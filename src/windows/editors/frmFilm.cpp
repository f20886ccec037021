#include "windows/editors/frmFilm.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <functional>

#include "util/Text.h"
#include "windows/editors/CellGrid.h"

#include "windows/WidgetNames.h"

namespace delvar::windows {

namespace {
// The film selector: an editable list that reports when its list is about to open,
// so a name typed into it is taken first.
class FilmSelector final : public QComboBox {
  public:
    std::function<void()> beforePopup;
    void showPopup() override {
        if (beforePopup) beforePopup();
        QComboBox::showPopup();
    }
};
}  // namespace

frmFilm::frmFilm(editors::EditorContext& context, QWidget* parent)
    : QDialog(parent),
      grdFilm_(new CellGrid("grdFilm", this)),
      grdA3_(new CellGrid("grdA3", this)),
      grdA5_(new CellGrid("grdA5", this)),
      logic_(context, *this, *grdFilm_, *grdA3_, *grdA5_) {
    setObjectName("frmFilm");
    setWindowTitle("Film Edit");
    setModal(true);
    BuildControls();
    logic_.Open();
    for (CellGrid* grid : {grdFilm_, grdA3_, grdA5_}) grid->FitToContents(80);
    Connect();
}

frmFilm::~frmFilm() {
    // The grids go with the dialog's children, after the logic their events go to; and
    // the focus leaving the film box as the dialog hides would report a typed name to
    // the logic, which is gone by then.
    for (CellGrid* grid : {grdFilm_, grdA3_, grdA5_}) grid->SetEvents(nullptr);
    for (QWidget* child : findChildren<QWidget*>()) child->blockSignals(true);
}

void frmFilm::BuildControls() {
    auto* selector = new FilmSelector;
    selector->beforePopup = [this] { logic_.FilmTextLeft(cboFilms_->currentText().toStdString()); };
    cboFilms_ = Named<QComboBox>(selector, "cboFilms", "Select and name film.");
    cboFilms_->setEditable(true);
    cboFilms_->setInsertPolicy(QComboBox::NoInsert);
    cboFilms_->setCompleter(nullptr);
    cboFilms_->setMaxVisibleItems(20);
    cboMaterials_ = Named(new QComboBox, "cboMaterials", "Select a material for this film.");
    cboMaterials_->setMaxVisibleItems(20);
    lblNumber_ = Named(new QLabel("Film 1:"), "lblNumber");
    lblMaterial_ = Named(new QLabel("Material 1:"), "lblMaterial");
    lblNumber_->setBuddy(cboFilms_);
    lblMaterial_->setBuddy(cboMaterials_);
    const int wide = cboFilms_->fontMetrics().horizontalAdvance(QString(18, 'W'));
    cboFilms_->setMinimumWidth(wide);
    cboMaterials_->setMinimumWidth(wide);

    auto* selectors = new QGridLayout;
    selectors->addWidget(lblNumber_, 0, 0);
    selectors->addWidget(cboFilms_, 0, 1);
    selectors->setColumnMinimumWidth(2, 24);
    selectors->addWidget(lblMaterial_, 0, 3);
    selectors->addWidget(cboMaterials_, 0, 4);
    selectors->setColumnStretch(5, 1);

    auto* grids = new QHBoxLayout;
    for (CellGrid* grid : {grdFilm_, grdA3_, grdA5_}) grids->addWidget(grid, 0, Qt::AlignTop);
    grids->addStretch();

    auto* fraUpDn = Named(new QGroupBox("Instrument Transfer"), "fraUpDn");
    optSelect_[0] = Named(new QRadioButton("All Films"), "optSelect_0");
    optSelect_[1] = Named(new QRadioButton("Film 1"), "optSelect_1");
    optSelect_[1]->setChecked(true);
    cmdUpLoad_ = Button("cmdUpLoad", "<- UpLoad");
    cmdDnLoad_ = Button("cmdDnLoad", "DnLoad ->");
    auto* upDn = new QHBoxLayout(fraUpDn);
    upDn->addWidget(optSelect_[0]);
    upDn->addWidget(optSelect_[1]);
    upDn->addSpacing(16);
    upDn->addWidget(cmdUpLoad_);
    upDn->addWidget(cmdDnLoad_);

    cmdOK_ = Button("cmdOK", "&OK");
    cmdCancel_ = Button("cmdCancel", "&Cancel", "Close form and abandon changes.");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(fraUpDn);
    bottom->addStretch();
    bottom->addWidget(cmdOK_, 0, Qt::AlignBottom);
    bottom->addWidget(cmdCancel_, 0, Qt::AlignBottom);

    auto* all = new QVBoxLayout(this);
    all->addLayout(selectors);
    all->addLayout(grids);
    all->addLayout(bottom);
    all->setSizeConstraint(QLayout::SetFixedSize);
}

void frmFilm::Connect() {
    connect(cboFilms_, &QComboBox::currentIndexChanged, this,
            [this](int index) { logic_.FilmChosen(index); });
    connect(cboFilms_->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { logic_.FilmTextLeft(cboFilms_->currentText().toStdString()); });
    connect(cboMaterials_, &QComboBox::currentIndexChanged, this,
            [this](int index) { logic_.MaterialChosen(index); });
    connect(cmdUpLoad_, &QPushButton::clicked, this, [this] { Transfer(true); });
    connect(cmdDnLoad_, &QPushButton::clicked, this, [this] { Transfer(false); });
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        logic_.Cancel();
        reject();
    });
}

// The rest of the window waits while the films move: every reply wait runs events.
void frmFilm::Transfer(bool upload) {
    const TransferScope scope(lock_);
    const bool all = optSelect_[0]->isChecked();
    upload ? logic_.UpLoad(all) : logic_.DnLoad(all);
}

void frmFilm::reject() {
    if (!lock_.DeferClose([this] { QDialog::reject(); })) QDialog::reject();
}

void frmFilm::SetFilmList(const std::vector<std::string>& names) {
    const QSignalBlocker quiet(cboFilms_);
    const int keep = cboFilms_->currentIndex();
    cboFilms_->clear();
    for (const std::string& name : names) cboFilms_->addItem(Q(util::Trim(name)));
    cboFilms_->setCurrentIndex(keep);
}

void frmFilm::SetFilmEntry(int index, const std::string& name) {
    cboFilms_->setItemText(index, Q(util::Trim(name)));
}

void frmFilm::SelectFilm(int index) {
    const QSignalBlocker quiet(cboFilms_);
    cboFilms_->setCurrentIndex(index);
    cboFilms_->setEditText(cboFilms_->itemText(index));
}

void frmFilm::SetMaterialList(const std::vector<std::string>& names) {
    const QSignalBlocker quiet(cboMaterials_);
    cboMaterials_->clear();
    for (const std::string& name : names) cboMaterials_->addItem(Q(util::Trim(name)));
}

void frmFilm::SelectMaterial(int index) {
    const QSignalBlocker quiet(cboMaterials_);
    cboMaterials_->setCurrentIndex(index);
}

void frmFilm::SetNumberLabel(const std::string& text) {
    lblNumber_->setText(Q(text));
}

void frmFilm::SetMaterialLabel(const std::string& text) {
    lblMaterial_->setText(Q(text));
}

void frmFilm::SetShownFilmOption(const std::string& caption) {
    optSelect_[1]->setText(Q(caption));
}

void frmFilm::SetTransfersEnabled(bool enabled) {
    cmdUpLoad_->setEnabled(enabled);
    cmdDnLoad_->setEnabled(enabled);
}

void frmFilm::SetBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace delvar::windows
