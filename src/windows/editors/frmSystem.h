// The system editor frmSystem: a thin window over editors::SystemEditor with its grid,
// the two transfer buttons, OK and Cancel. Modal; while a transfer runs its other
// controls are disabled and a close waits for the end.
#pragma once

#include <QDialog>

#include "editors/SystemEditor.h"

class QPushButton;

namespace delvar::windows {

class CellGrid;
class TransferLock;

class frmSystem : public QDialog {
    Q_OBJECT

  public:
    explicit frmSystem(editors::EditorContext& context, QWidget* parent = nullptr);
    ~frmSystem() override;

    void reject() override;  // waits for a running transfer

  private:
    void BuildControls();
    void Transfer(bool upload);

    CellGrid* grdSystem_;
    editors::SystemEditor logic_;
    TransferLock* lock_ = nullptr;
    QPushButton* cmdUpLoad_ = nullptr;
    QPushButton* cmdDnLoad_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace delvar::windows
