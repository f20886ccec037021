#include "windows/editors/frmSensors.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "windows/TransferLock.h"
#include "windows/WidgetNames.h"
#include "windows/editors/CellGrid.h"

namespace delvar::windows {

frmSensors::frmSensors(editors::ChannelKind kind, editors::EditorContext& context, QWidget* parent)
    : QDialog(parent),
      grid_(new CellGrid(editors::ChannelTable(kind).gridName, this)),
      logic_(kind, context, *this, *grid_) {
    const editors::ChannelEditorTable& table = logic_.Table();
    setObjectName(table.windowName);
    setWindowTitle(table.title);
    setModal(true);
    BuildControls();
    logic_.Open();
    // Room for the widest list entry with its drop-down arrow.
    grid_->FitToContents(grid_->fontMetrics().horizontalAdvance("Position") + 32);
    grid_->setCurrentCell(0, 1);  // typing goes into the first value
    lock_ = new TransferLock(this);

    for (int n = 0; n < setup::kMaxChannels; ++n)
        connect(chkSelect_[std::size_t(n)], &QCheckBox::toggled, this,
                [this, n](bool on) { logic_.SelectClicked(n + 1, on); });
    connect(cmdUpLoad_, &QPushButton::clicked, this, [this] { Transfer(true); });
    connect(cmdDnLoad_, &QPushButton::clicked, this, [this] { Transfer(false); });
    connect(cmdSave_, &QPushButton::clicked, this, [this] { SaveClicked(); });
    connect(cmdCancel_, &QPushButton::clicked, this, &frmSensors::reject);
}

frmSensors::~frmSensors() {
    grid_->SetEvents(nullptr);
}

void frmSensors::BuildControls() {
    const std::string noun = logic_.Table().noun;
    // The transfer frame under the grid: the check boxes, then the two buttons; Save
    // and Cancel at the right, so the window is no wider than the grid needs.
    auto* fraSelect = Named(new QGroupBox("Transfer"), "fraSelect");
    auto* select = new QGridLayout(fraSelect);
    for (int n = 0; n < setup::kMaxChannels; ++n) {
        const std::string name = "chkSelect_" + std::to_string(n + 1);
        const std::string caption = noun + " " + std::to_string(n + 1);
        auto* box = new QCheckBox(Q(caption));
        box->setObjectName(Q(name));
        box->setToolTip(Q("Read or write " + caption + "."));
        chkSelect_[std::size_t(n)] = box;
        select->addWidget(box, 0, n);
    }
    cmdUpLoad_ = Button("cmdUpLoad", "<- UpLoad");
    cmdDnLoad_ = Button("cmdDnLoad", "DnLoad ->");
    cmdUpLoad_->setToolTip(Q("Read the ticked " + noun + "s from Delvar."));
    cmdDnLoad_->setToolTip(Q("Send the ticked " + noun + "s to Delvar."));
    select->addWidget(cmdUpLoad_, 1, 0);
    select->addWidget(cmdDnLoad_, 1, 1);

    cmdSave_ = Button("cmdSave", "&Save", "Close and keep the changes.");
    cmdCancel_ = Button("cmdCancel", "&Cancel", "Close form and abandon changes.");
    auto* left = new QVBoxLayout;
    left->addWidget(grid_);
    left->addWidget(fraSelect);
    auto* right = new QVBoxLayout;
    right->addStretch();
    right->addWidget(cmdSave_);
    right->addWidget(cmdCancel_);

    auto* all = new QHBoxLayout(this);
    all->addLayout(left);
    all->addLayout(right);
    all->setSizeConstraint(QLayout::SetFixedSize);
}

void frmSensors::Transfer(bool upload) {
    {
        const TransferScope scope(*lock_);
        upload ? logic_.UpLoad() : logic_.DnLoad();
    }
    SetTransfersEnabled(transfersEnabled_);
}

void frmSensors::SaveClicked() {
    bool close = false;
    {
        const TransferScope scope(*lock_);  // saving may write to the instrument
        close = logic_.Save();
    }
    SetTransfersEnabled(transfersEnabled_);
    if (close) accept();
}

void frmSensors::reject() {
    if (lock_ && lock_->DeferClose([this] { reject(); })) return;
    QDialog::reject();
}

void frmSensors::ShowSelect(int channel, bool enabled, bool ticked) {
    if (channel < 1 || channel > setup::kMaxChannels) return;
    QCheckBox* box = chkSelect_[std::size_t(channel - 1)];
    box->setChecked(ticked);
    box->setEnabled(enabled);
}

void frmSensors::SetTransfersEnabled(bool enabled) {
    transfersEnabled_ = enabled;
    if (lock_ && lock_->Running()) return;  // the lock gives the buttons back at the end
    cmdUpLoad_->setEnabled(enabled);
    cmdDnLoad_->setEnabled(enabled);
}

void frmSensors::SetBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace delvar::windows
