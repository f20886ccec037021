// The communications settings window without its widgets: which port controls show
// for each port type, the settings each control changes at once on the link, the
// instrument search and the command test.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/SerialDevices.h"
#include "core/DialogService.h"
#include "link/Connect.h"
#include "link/Link.h"

namespace delvar::app {

// What the communications window does to the main window.
class CommWindowHost {
  public:
    virtual ~CommWindowHost() = default;
    virtual void StopPollTimer() = 0;            // on opening
    virtual void FollowOnline(bool online) = 0;  // on closing: run controls, sliders and tmrUpdate
                                                 // enabled exactly when online
};

// The port controls whose visibility follows the port type (indexed by link::PortType).
// The Ethernet discovery tool is a Windows program, so its button is not offered.
struct PortControl {
    const char* name;
    std::array<bool, 3> visibleFor;
};
inline constexpr std::array<PortControl, 7> kPortControls = {{
    {"cboRS232", {true, false, false}},
    {"lblBaud", {true, false, false}},
    {"cboBaud", {true, false, false}},
    {"cboUSB", {false, true, false}},
    {"txtEAddr", {false, false, true}},
    {"lblPort", {false, false, true}},
    {"txtEport", {false, false, true}},
}};

// What Send shows, sending nothing, for a command with characters outside printable ASCII.
inline constexpr const char* kPlainAsciiOnly = "Not sent: instrument takes plain ASCII.";

// The device path the link's serial port stands for: the chosen one, else (a settings
// file from before the choice existed) /dev/ttyS{RS232Port-1}.
std::string SerialDevicePath(const link::CommSettings& settings);

// The rates the link can use, in their index order.
std::vector<std::string> RateChoices();

// The operations the logic needs on the window's controls.
class CommWindowView {
  public:
    virtual ~CommWindowView() = default;
    virtual void SetControlVisible(const std::string& control, bool visible) = 0;
    virtual void SetPortType(int type) = 0;  // optComm
    // cboRS232: the serial ports found (texts), the one selected (-1: none) and the text
    // shown, which may be a path typed by the user.
    virtual void SetSerialChoices(const std::vector<std::string>& texts, int selected,
                                  const std::string& shown) = 0;
    // lblAccess: why the chosen serial port cannot be opened; "" hides it.
    virtual void SetPortNote(const std::string& text) = 0;
    virtual void SetRateChoices(const std::vector<std::string>& rates, int selected) = 0;
    virtual void SetUsbChoices(const std::vector<std::string>& serials, int selected) = 0;
    virtual void SetEthernet(const std::string& address, const std::string& port) = 0;
    virtual void SetChecks(bool checksum, bool searchAtStart) = 0;
    virtual void SetCommandText(const std::string& text) = 0;   // txtSend
    virtual void SetResponseText(const std::string& text) = 0;  // txtRcv
    // Busy: hourglass, Send disabled, the response emptied and repainted at once.
    // Not busy: Send enabled, the pointer restored.
    virtual void SetSendBusy(bool busy) = 0;
};

class CommWindowLogic {
  public:
    CommWindowLogic(link::Link& link, core::DialogService& dialogs, link::ConnectHost& connectHost,
                    CommWindowHost& host, CommWindowView& view, SerialDevices& devices);

    // Stops the main window's poll and fills the controls from the link's settings;
    // the change handlers the filling triggers do nothing.
    void Open();
    // Hands the main window back its poll and run controls as the link's online state
    // says. Does nothing when the window is not open.
    void Close();
    bool IsOpen() const { return open_; }
    bool Loading() const { return loading_; }
    bool Searching() const { return searching_; }
    bool Sending() const { return sending_; }

    // Change handlers, each taking effect at once on link.Settings().
    void PortTypeChosen(int type);
    void DeviceChosen(int index);               // a listed serial port
    void DeviceTyped(const std::string& path);  // a device path typed by the user
    void RateChosen(int index);
    void UsbChosen(int index);
    void ChecksumChanged(bool on);
    void StartChanged(bool on);
    void AddressLeft(const std::string& text);   // taken as typed, also while loading
    void PortTextLeft(const std::string& text);  // taken as typed, also while loading

    // Searches for the instrument on the selected port; ignored while one runs.
    void Find();
    // Sends one command and shows its reply or the status text of the failure; a command
    // the instrument cannot read (kPlainAsciiOnly) is not sent.
    void Send(const std::string& command);

  private:
    void ShowPortControls(int type);
    void RefreshUsbList();
    void ReopenSerialPort();
    void FillSerialChoices();
    void UseDevice(const std::string& path);
    void ShowPortAccess();

    link::Link& link_;
    core::DialogService& dialogs_;
    link::ConnectHost& connectHost_;
    CommWindowHost& host_;
    CommWindowView& view_;
    SerialDevices& devices_;
    std::vector<std::string> usbChoices_;
    std::vector<SerialDeviceInfo> serialChoices_;
    bool open_ = false;
    bool loading_ = false;
    bool searching_ = false;
    bool sending_ = false;
};

}  // namespace delvar::app
