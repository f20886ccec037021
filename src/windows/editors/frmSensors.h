// The sensor editor (frmSensors) and the source editor (frmSources): one thin window
// over editors::SensorSourceEditor, named and captioned by its table. Modal; while a
// transfer runs its other controls are disabled and a close waits for the end.
#pragma once

#include <QDialog>
#include <array>

#include "editors/SensorSourceEditor.h"

class QCheckBox;
class QPushButton;

namespace delvar::windows {

class CellGrid;
class TransferLock;

class frmSensors : public QDialog, private editors::SensorSourceView {
    Q_OBJECT

  public:
    frmSensors(editors::ChannelKind kind, editors::EditorContext& context,
               QWidget* parent = nullptr);
    ~frmSensors() override;

    // Escape, the title bar's X and Cancel: nothing is given to the setup.
    void reject() override;

  private:
    void BuildControls();
    void Transfer(bool upload);
    void SaveClicked();

    void ShowSelect(int channel, bool enabled, bool ticked) override;
    void SetTransfersEnabled(bool enabled) override;
    void SetBusy(bool busy) override;

    CellGrid* grid_;
    editors::SensorSourceEditor logic_;
    TransferLock* lock_ = nullptr;
    std::array<QCheckBox*, setup::kMaxChannels> chkSelect_{};
    QPushButton* cmdUpLoad_ = nullptr;
    QPushButton* cmdDnLoad_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    bool transfersEnabled_ = false;  // as the logic wants them once a transfer has ended
};

}  // namespace delvar::windows
