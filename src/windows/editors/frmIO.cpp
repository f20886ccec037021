#include "windows/editors/frmIO.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "windows/WidgetNames.h"
#include "windows/editors/CellGrid.h"

namespace delvar::windows {

using editors::IoEditor;
using editors::IoGrid;

namespace {

constexpr int kNameColumn = 1;

// Every cell and the heading of a column carry the column's tool tip; the name column
// is wide enough for a full 16-character name.
void Finish(CellGrid& grid, IoGrid which) {
    for (int c = 0; c < IoEditor::ColumnCount(which); ++c) {
        const QString tip = Q(IoEditor::ColumnToolTip(which, c));
        if (auto* heading = grid.horizontalHeaderItem(c)) heading->setToolTip(tip);
        for (int r = 0; r < grid.rowCount(); ++r)
            if (auto* cell = grid.item(r, c)) cell->setToolTip(tip);
    }
    grid.FitToContents(48);
    const int name = grid.fontMetrics().horizontalAdvance(QString(16, 'M')) / 2 + 24;
    if (grid.columnWidth(kNameColumn) < name) {
        grid.setFixedWidth(grid.width() + name - grid.columnWidth(kNameColumn));
        grid.setColumnWidth(kNameColumn, name);
    }
}

}  // namespace

frmIO::frmIO(editors::EditorContext& context, QWidget* parent)
    : QDialog(parent),
      grdInputs_(new CellGrid("grdInputs", this)),
      grdRelays_(new CellGrid("grdRelays", this)),
      logic_(context, *this, *grdInputs_, *grdRelays_) {
    setObjectName("frmIO");
    setWindowTitle("Digital I/O");
    setModal(true);
    BuildControls();
    logic_.Open();
    Finish(*grdInputs_, IoGrid::Inputs);
    Finish(*grdRelays_, IoGrid::Relays);
    Connect();
}

frmIO::~frmIO() {
    tmrMonitor_->stop();
    // The grids go with the dialog's children, after the logic their events go to.
    for (CellGrid* grid : {grdInputs_, grdRelays_}) grid->SetEvents(nullptr);
}

void frmIO::BuildControls() {
    tmrMonitor_ = new QTimer(this);
    tmrMonitor_->setObjectName("tmrMonitor");
    tmrMonitor_->setInterval(kMonitorInterval);

    auto* fraShow = Named(new QGroupBox("Show"), "fraShow");
    optIO_[0] = Named(new QRadioButton("&Inputs"), "optIO_0", "Show the digital inputs.");
    optIO_[1] = Named(new QRadioButton("&Relays"), "optIO_1", "Show the relays.");
    optIO_[0]->setChecked(true);
    auto* group = new QButtonGroup(this);
    group->addButton(optIO_[0], 0);
    group->addButton(optIO_[1], 1);
    auto* show = new QHBoxLayout(fraShow);
    show->addWidget(optIO_[0]);
    show->addWidget(optIO_[1]);
    chkMonitor_ = Named(new QCheckBox("&Monitor"), "chkMonitor",
                        "Show the present state of each input and relay: green on, red off.");
    show->addSpacing(16);
    show->addWidget(chkMonitor_);

    stkGrids_ = Named(new QStackedWidget, "stkGrids");
    stkGrids_->addWidget(grdInputs_);
    stkGrids_->addWidget(grdRelays_);

    auto* fraUpDn = Named(new QGroupBox("Instrument Transfer"), "fraUpDn");
    cmdUpLoad_ = Button("cmdUpLoad", "<- &UpLoad", "Read inputs and relays from Delvar.");
    cmdDnLoad_ = Button("cmdDnLoad", "&DnLoad ->", "Send inputs and relays to Delvar.");
    auto* upDn = new QHBoxLayout(fraUpDn);
    upDn->addWidget(cmdUpLoad_);
    upDn->addWidget(cmdDnLoad_);

    cmdOK_ = Button("cmdOK", "&OK", "Save changes and close.");
    cmdCancel_ = Button("cmdCancel", "&Cancel", "Close form and abandon changes.");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(fraUpDn);
    bottom->addStretch();
    bottom->addWidget(cmdOK_, 0, Qt::AlignBottom);
    bottom->addWidget(cmdCancel_, 0, Qt::AlignBottom);

    auto* all = new QVBoxLayout(this);
    all->addWidget(fraShow);
    all->addWidget(stkGrids_, 0, Qt::AlignLeft);
    all->addLayout(bottom);
    all->setSizeConstraint(QLayout::SetFixedSize);
}

void frmIO::Connect() {
    for (int which : {0, 1})
        connect(optIO_[which], &QRadioButton::toggled, this, [this, which](bool on) {
            if (on) ShowGrid(which);
        });
    connect(chkMonitor_, &QCheckBox::toggled, this, [this](bool on) { logic_.SetMonitor(on); });
    connect(tmrMonitor_, &QTimer::timeout, this, &frmIO::MonitorTimer);
    connect(cmdUpLoad_, &QPushButton::clicked, this, [this] {
        TransferScope scope(lock_);
        logic_.UpLoad();
    });
    connect(cmdDnLoad_, &QPushButton::clicked, this, [this] {
        TransferScope scope(lock_);
        logic_.DnLoad();
    });
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        bool close = false;
        {
            TransferScope scope(lock_);
            close = logic_.Save();
        }
        if (close) accept();
    });
    connect(cmdCancel_, &QPushButton::clicked, this, &frmIO::reject);
}

void frmIO::ShowGrid(int which) {
    stkGrids_->setCurrentIndex(which);
}

bool frmIO::Editing() const {
    return grdInputs_->Editing() || grdRelays_->Editing();
}

void frmIO::MonitorTimer() {
    if (lock_.Running() || Editing()) return;
    // The controls are disabled for the tick's few milliseconds; the window is not
    // repainted meanwhile, so it does not flash grey twice a second.
    setUpdatesEnabled(false);
    {
        TransferScope scope(lock_);
        logic_.MonitorTick();
    }
    setUpdatesEnabled(true);
}

void frmIO::reject() {
    if (lock_.DeferClose([this] { reject(); })) return;
    QDialog::reject();
}

void frmIO::done(int result) {
    // Closed any way: the monitor ends with the window.
    if (logic_.Monitoring()) logic_.SetMonitor(false);
    tmrMonitor_->stop();
    QDialog::done(result);
}

void frmIO::SetTransfersEnabled(bool enabled) {
    cmdUpLoad_->setEnabled(enabled);
    cmdDnLoad_->setEnabled(enabled);
}

void frmIO::SetMonitorEnabled(bool enabled) {
    chkMonitor_->setEnabled(enabled);
}

void frmIO::SetMonitorRunning(bool running) {
    const QSignalBlocker quiet(chkMonitor_);
    chkMonitor_->setChecked(running);
    if (running)
        tmrMonitor_->start();
    else
        tmrMonitor_->stop();
}

void frmIO::SetBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace delvar::windows
