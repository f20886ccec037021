#include "app/CommWindowLogic.h"

#include <algorithm>
#include <cctype>

#include "app/AppTitle.h"
#include "link/Frame.h"
#include "util/Text.h"

namespace delvar::app {

namespace {
bool ValidType(int type) {
    return type >= link::kPortRs232 && type <= link::kPortTcp;
}

bool SameLetters(const std::string& a, const std::string& b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}
}  // namespace

std::string SerialDevicePath(const link::CommSettings& settings) {
    if (!settings.RS232Device.empty()) return settings.RS232Device;
    return "/dev/ttyS" + std::to_string(settings.RS232Port - 1);
}

std::vector<std::string> RateChoices() {
    std::vector<std::string> rates;
    for (const char* rate : link::kRateTable) {
        if (*rate == '\0') break;
        rates.emplace_back(rate);
    }
    return rates;
}

CommWindowLogic::CommWindowLogic(link::Link& link, core::DialogService& dialogs,
                                 link::ConnectHost& connectHost, CommWindowHost& host,
                                 CommWindowView& view, SerialDevices& devices)
    : link_(link),
      dialogs_(dialogs),
      connectHost_(connectHost),
      host_(host),
      view_(view),
      devices_(devices) {}

void CommWindowLogic::Open() {
    loading_ = true;
    open_ = true;
    host_.StopPollTimer();
    link::CommSettings& s = link_.Settings();
    FillSerialChoices();
    const std::vector<std::string> rates = RateChoices();
    const bool knownRate = s.RS232Baud >= 0 && s.RS232Baud < static_cast<int>(rates.size());
    view_.SetRateChoices(rates, knownRate ? s.RS232Baud : -1);
    view_.SetEthernet(s.EAddress, s.EPort);
    view_.SetChecks(s.CheckSum != 0, s.Start != 0);
    // A type the window cannot show is taken as RS-232, so what is ticked is what
    // the link uses.
    const int type = ValidType(s.Type) ? s.Type : link::kPortRs232;
    view_.SetPortType(type);
    PortTypeChosen(type);
    loading_ = false;
}

void CommWindowLogic::Close() {
    if (!open_) return;
    open_ = false;
    host_.FollowOnline(link_.Info().Online);
}

void CommWindowLogic::PortTypeChosen(int type) {
    if (!ValidType(type)) return;
    link_.Settings().Type = type;
    if (type == link::kPortRs232 && !loading_) ReopenSerialPort();
    if (type == link::kPortUsb) RefreshUsbList();
    ShowPortControls(type);
    ShowPortAccess();
}

void CommWindowLogic::DeviceChosen(int index) {
    if (loading_ || index < 0 || index >= static_cast<int>(serialChoices_.size())) return;
    UseDevice(DeviceChoicePath(serialChoices_[static_cast<std::size_t>(index)]));
}

void CommWindowLogic::DeviceTyped(const std::string& path) {
    std::string typed = util::Trim(path);
    if (loading_ || typed.empty()) return;
    // The text of a listed port stands for that port.
    for (const SerialDeviceInfo& device : serialChoices_)
        if (typed == DeviceChoiceText(device)) typed = DeviceChoicePath(device);
    // Leaving the box after a choice from the list changes nothing.
    if (typed != SerialDevicePath(link_.Settings())) UseDevice(typed);
}

void CommWindowLogic::UseDevice(const std::string& path) {
    link::CommSettings& s = link_.Settings();
    s.RS232Device = path;
    // The link opens serial ports by number; the chosen device is what the number
    // stands for.
    if (s.RS232Port < 1 || s.RS232Port > 9) s.RS232Port = 1;
    devices_.Assign(s.RS232Port, path);
    ReopenSerialPort();
    // The list again (a port may have come or gone), showing the device now in use.
    FillSerialChoices();
    ShowPortAccess();
}

void CommWindowLogic::FillSerialChoices() {
    serialChoices_ = devices_.List();
    const std::string current = SerialDevicePath(link_.Settings());
    auto match = std::ranges::find_if(serialChoices_, [&](const SerialDeviceInfo& d) {
        return d.path == current || d.byId == current;
    });
    int selected = -1;
    std::string shown = current;
    if (match != serialChoices_.end()) {
        selected = static_cast<int>(match - serialChoices_.begin());
        shown = DeviceChoiceText(*match);
    }
    std::vector<std::string> texts;
    for (const SerialDeviceInfo& device : serialChoices_) texts.push_back(DeviceChoiceText(device));
    view_.SetSerialChoices(texts, selected, shown);
}

void CommWindowLogic::ShowPortAccess() {
    const link::CommSettings& s = link_.Settings();
    std::string note;
    if (s.Type == link::kPortRs232) {
        const std::string path = SerialDevicePath(s);
        switch (devices_.Access(path)) {
            case PortAccess::Denied:
                note = PermissionMessage(path);
                break;
            case PortAccess::Missing:
                note = "There is no serial port " + path + ".";
                break;
            case PortAccess::Ok:
                break;
        }
    }
    view_.SetPortNote(note);
}

void CommWindowLogic::RateChosen(int index) {
    if (loading_ || index < 0 || index >= static_cast<int>(RateChoices().size())) return;
    link_.Settings().RS232Baud = index;
    ReopenSerialPort();
}

void CommWindowLogic::UsbChosen(int index) {
    if (loading_ || index < 0 || index >= static_cast<int>(usbChoices_.size())) return;
    link_.Settings().USBDevice = usbChoices_[static_cast<std::size_t>(index)];
}

void CommWindowLogic::ChecksumChanged(bool on) {
    if (!loading_) link_.Settings().CheckSum = on ? 1 : 0;
}

void CommWindowLogic::StartChanged(bool on) {
    if (!loading_) link_.Settings().Start = on ? 1 : 0;
}

void CommWindowLogic::AddressLeft(const std::string& text) {
    link_.Settings().EAddress = text;
}

void CommWindowLogic::PortTextLeft(const std::string& text) {
    link_.Settings().EPort = text;
}

void CommWindowLogic::Find() {
    if (searching_) return;
    searching_ = true;
    view_.SetCommandText("@");
    if (link::ConnectInstrument(link_, dialogs_, connectHost_, kAppTitle)) {
        view_.SetResponseText(link_.Info().VersionText);
        // The search may have listed devices that were not there before.
        if (link_.Settings().Type == link::kPortUsb) RefreshUsbList();
    }
    searching_ = false;
}

void CommWindowLogic::Send(const std::string& command) {
    if (sending_) return;
    // Anything else would go out as several bytes of UTF-8 the instrument cannot read.
    if (!std::ranges::all_of(command, [](char c) { return c >= 0x20 && c < 0x7F; })) {
        view_.SetResponseText(kPlainAsciiOnly);
        return;
    }
    sending_ = true;
    view_.SetSendBusy(true);
    std::string reply = link_.SendCommand(command);
    if (link_.CommStatus() != link::kOk) reply = link::StatusText(link_.CommStatus());
    view_.SetResponseText(reply);
    view_.SetSendBusy(false);
    sending_ = false;
}

void CommWindowLogic::ShowPortControls(int type) {
    for (const PortControl& control : kPortControls)
        view_.SetControlVisible(control.name, control.visibleFor[static_cast<std::size_t>(type)]);
}

void CommWindowLogic::RefreshUsbList() {
    const std::vector<std::string>& found = link_.Usb().UsbDeviceList;
    usbChoices_.assign(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                          found.size(), link::kUsbMaxDevices)));
    const std::string& stored = link_.Settings().USBDevice;
    auto match = std::ranges::find_if(usbChoices_,
                                      [&](const std::string& s) { return SameLetters(s, stored); });
    int selected = usbChoices_.empty()          ? -1
                   : match == usbChoices_.end() ? 0
                                                : static_cast<int>(match - usbChoices_.begin());
    view_.SetUsbChoices(usbChoices_, selected);
    // Outside the filling of the window the selection shown is the setting.
    if (selected >= 0 && !loading_) link_.Settings().USBDevice = usbChoices_[std::size_t(selected)];
}

void CommWindowLogic::ReopenSerialPort() {
    link_.CloseSerialPort();
    link_.OpenSerialPort(link_.Settings().RS232Port, link_.Settings().RS232Baud);
}

}  // namespace delvar::app
