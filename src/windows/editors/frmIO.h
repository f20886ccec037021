// The digital I/O editor window "Digital I/O": a thin view over editors::IoEditor
// with its two grids (one shown at a time, chosen with optIO), the transfers, Save and
// the live monitor's timer. Modal. While a transfer or a monitor tick runs the other
// controls are disabled and a close waits for its end.
#pragma once

#include <QDialog>

#include "editors/IoEditor.h"
#include "windows/TransferLock.h"

class QCheckBox;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTimer;

namespace delvar::windows {

class CellGrid;

class frmIO : public QDialog, private editors::IoEditorView {
    Q_OBJECT

  public:
    explicit frmIO(editors::EditorContext& context, QWidget* parent = nullptr);
    ~frmIO() override;

    editors::IoEditor& Logic() { return logic_; }
    // What tmrMonitor runs: one monitor tick, unless a transfer of this window is
    // running or a cell is being edited (then the next tick tries again).
    void MonitorTimer();

    static constexpr int kMonitorInterval = 500;  // ms

  public slots:
    void reject() override;

  protected:
    void done(int result) override;

  private:
    void BuildControls();
    void Connect();
    void ShowGrid(int which);
    bool Editing() const;

    void SetTransfersEnabled(bool enabled) override;
    void SetMonitorEnabled(bool enabled) override;
    void SetMonitorRunning(bool running) override;
    void SetBusy(bool busy) override;

    CellGrid* grdInputs_;
    CellGrid* grdRelays_;
    editors::IoEditor logic_;
    TransferLock lock_{this};
    QStackedWidget* stkGrids_ = nullptr;
    QRadioButton* optIO_[2] = {nullptr, nullptr};
    QCheckBox* chkMonitor_ = nullptr;
    QTimer* tmrMonitor_ = nullptr;
    QPushButton* cmdUpLoad_ = nullptr;
    QPushButton* cmdDnLoad_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace delvar::windows
