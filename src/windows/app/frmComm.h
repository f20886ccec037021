// The communications settings window "Delvar Comm Setup": a thin view over
// app::CommWindowLogic. Modeless; the main window keeps the one instance.
#pragma once

#include <QDialog>
#include <string>

#include "app/CommWindowLogic.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace delvar::windows {

class frmComm : public QDialog, private app::CommWindowView {
    Q_OBJECT

  public:
    // devices: the computer's serial ports and what the link's serial port stands for.
    frmComm(link::Link& link, core::DialogService& dialogs, link::ConnectHost& connectHost,
            app::CommWindowHost& host, app::SerialDevices& devices, QWidget* parent = nullptr);

    // The opening steps (the poll stopped, the controls filled from the link's
    // settings), then shown modeless; when already shown it is only raised.
    void Open();
    // Shown (opened first when closed) and kept above other windows.
    void ShowOnTop();

  protected:
    // Every way of closing (Close, the title bar, Escape) ends here.
    void done(int result) override;

  private:
    void BuildControls();
    void Connect();

    void SetControlVisible(const std::string& control, bool visible) override;
    void SetPortType(int type) override;
    void SetSerialChoices(const std::vector<std::string>& texts, int selected,
                          const std::string& shown) override;
    void SetPortNote(const std::string& text) override;
    void SetRateChoices(const std::vector<std::string>& rates, int selected) override;
    void SetUsbChoices(const std::vector<std::string>& serials, int selected) override;
    void SetEthernet(const std::string& address, const std::string& port) override;
    void SetChecks(bool checksum, bool searchAtStart) override;
    void SetCommandText(const std::string& text) override;
    void SetResponseText(const std::string& text) override;
    void SetSendBusy(bool busy) override;

    app::CommWindowLogic logic_;
    link::Link& link_;
    bool findWaits_ = false, sendWaits_ = false;  // asked for while an exchange waited
    QButtonGroup* optComm_ = nullptr;
    QComboBox* cboRS232_ = nullptr;
    QComboBox* cboBaud_ = nullptr;
    QLabel* lblAccess_ = nullptr;
    QComboBox* cboUSB_ = nullptr;
    QLineEdit* txtEAddr_ = nullptr;
    QLineEdit* txtEport_ = nullptr;
    QCheckBox* chkSum_ = nullptr;
    QCheckBox* chkStart_ = nullptr;
    QPushButton* cmdFind_ = nullptr;
    QLineEdit* txtSend_ = nullptr;
    QPushButton* cmdSend_ = nullptr;
    QLineEdit* txtRcv_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
};

}  // namespace delvar::windows
