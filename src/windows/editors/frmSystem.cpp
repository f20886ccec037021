#include "windows/editors/frmSystem.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "windows/TransferLock.h"
#include "windows/WidgetNames.h"
#include "windows/editors/CellGrid.h"

namespace delvar::windows {

frmSystem::frmSystem(editors::EditorContext& context, QWidget* parent)
    : QDialog(parent), grdSystem_(new CellGrid("grdSystem", this)), logic_(context, *grdSystem_) {
    setObjectName("frmSystem");
    setWindowTitle("System Setup");
    setModal(true);
    BuildControls();
    logic_.Open();
    grdSystem_->FitToContents(grdSystem_->fontMetrics().horizontalAdvance("00000") + 32);
    grdSystem_->setCurrentCell(0, 1);  // typing goes into the first value
    lock_ = new TransferLock(this);
    const bool online = logic_.TransfersAllowed();
    cmdUpLoad_->setEnabled(online);
    cmdDnLoad_->setEnabled(online);

    connect(cmdUpLoad_, &QPushButton::clicked, this, [this] { Transfer(true); });
    connect(cmdDnLoad_, &QPushButton::clicked, this, [this] { Transfer(false); });
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        logic_.Cancel();
        reject();
    });
}

frmSystem::~frmSystem() {
    grdSystem_->SetEvents(nullptr);
}

void frmSystem::BuildControls() {
    cmdUpLoad_ = Button("cmdUpLoad", "<- UpLoad", "Read the system setup from Delvar.");
    cmdDnLoad_ = Button("cmdDnLoad", "DnLoad ->", "Send the system setup to Delvar.");
    cmdOK_ = Button("cmdOK", "&OK", "Close and keep the changes.");
    cmdCancel_ = Button("cmdCancel", "&Cancel", "Close form and abandon changes.");
    auto* transfers = new QHBoxLayout;
    transfers->addWidget(cmdUpLoad_);
    transfers->addWidget(cmdDnLoad_);
    auto* closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(cmdOK_);
    closing->addWidget(cmdCancel_);

    auto* all = new QVBoxLayout(this);
    all->addWidget(grdSystem_);
    all->addLayout(transfers);
    all->addLayout(closing);
    all->setSizeConstraint(QLayout::SetFixedSize);
}

void frmSystem::Transfer(bool upload) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        const TransferScope scope(*lock_);
        upload ? logic_.UpLoad() : logic_.DnLoad();
    }
    QApplication::restoreOverrideCursor();
    const bool online = logic_.TransfersAllowed();
    cmdUpLoad_->setEnabled(online);
    cmdDnLoad_->setEnabled(online);
}

void frmSystem::reject() {
    if (lock_ && lock_->DeferClose([this] { reject(); })) return;
    QDialog::reject();
}

}  // namespace delvar::windows
