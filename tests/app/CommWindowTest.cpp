#include <gtest/gtest.h>

#include <set>

#include "app/CommWindowLogic.h"
#include "support/LinkRig.h"
#include "support/ScriptedDialogs.h"

namespace delvar::app {
namespace {

using namespace delvar::testing;

// Records what the window shows and, like real controls, reports every value set on
// it back to the logic as a change.
struct EchoingView final : CommWindowView {
    CommWindowLogic* logic = nullptr;
    std::set<std::string> visible;
    std::vector<std::string> usb;
    int usbSelected = -2;
    std::string response;
    std::vector<bool> busy;

    void SetControlVisible(const std::string& control, bool on) override {
        if (on) visible.insert(control);
        else visible.erase(control);
    }
    void SetPortType(int type) override { logic->PortTypeChosen(type); }
    void SetPortChoice(int index) override { logic->PortChosen(index); }
    void SetRateChoices(const std::vector<std::string>&, int selected) override {
        logic->RateChosen(selected);
    }
    void SetUsbChoices(const std::vector<std::string>& serials, int selected) override {
        usb = serials;
        usbSelected = selected;
    }
    void SetEthernet(const std::string& address, const std::string& port) override {
        logic->AddressLeft(address);
        logic->PortTextLeft(port);
    }
    void SetChecks(bool checksum, bool start) override {
        logic->ChecksumChanged(checksum);
        logic->StartChanged(start);
    }
    void SetCommandText(const std::string&) override {}
    void SetResponseText(const std::string& text) override { response = text; }
    void SetSendBusy(bool on) override { busy.push_back(on); }
};

struct RecordingHost final : CommWindowHost, link::ConnectHost {
    std::vector<std::string> calls;
    void StopPollTimer() override { calls.push_back("stop poll"); }
    void FollowOnline(bool online) override { calls.push_back(online ? "online" : "offline"); }
    void SetTitle(const std::string&) override {}
    void EnableInstrumentMenu(bool) override {}
    void ShowCommWindowOnTop() override { calls.push_back("on top"); }
    void LoadProcesses() override {}
};

struct CommWindowRig : LinkRig {
    ScriptedDialogs dialogs;
    RecordingHost host;
    EchoingView view;
    CommWindowLogic logic{link, dialogs, host, host, view};
    CommWindowRig() { view.logic = &logic; }
    link::CommSettings& Settings() { return link.Settings(); }
};

TEST(CommWindow, EachPortTypeShowsOnlyItsControls) {
    const std::set<std::string> expected[3] = {
        {"cboRS232", "lblBaud", "cboBaud"}, {"cboUSB"}, {"txtEAddr", "lblPort", "txtEport"}};
    for (int type = 0; type < 3; ++type) {
        CommWindowRig r;
        r.Settings().Type = type;
        r.logic.Open();
        EXPECT_EQ(r.view.visible, expected[type]) << "opened with type " << type;
        const int next = (type + 1) % 3;
        r.logic.PortTypeChosen(next);
        EXPECT_EQ(r.view.visible, expected[next]) << "chosen " << next;
        EXPECT_EQ(r.Settings().Type, next);
    }
    CommWindowRig r;  // a type from a damaged settings file opens as RS-232
    r.Settings().Type = 7;
    r.logic.Open();
    EXPECT_EQ(r.Settings().Type, link::kPortRs232);
    EXPECT_EQ(r.view.visible, expected[0]);
}

TEST(CommWindow, OpeningFillsTheControlsWithoutActingOnThem) {
    CommWindowRig r;
    r.Settings() = {.Type = link::kPortRs232, .RS232Port = 3, .RS232Baud = 2, .USBDevice = "X",
                    .EPort = "2102", .EAddress = "10.0.0.5", .CheckSum = 0, .Start = 0};
    const link::CommSettings before = r.Settings();
    r.logic.Open();
    EXPECT_FALSE(r.logic.Loading());
    EXPECT_TRUE(r.serial.calls.empty()) << "the port was reopened while loading";
    EXPECT_EQ(r.Settings().RS232Port, before.RS232Port);
    EXPECT_EQ(r.Settings().RS232Baud, before.RS232Baud);
    EXPECT_EQ(r.Settings().EAddress, before.EAddress);
    EXPECT_EQ(r.Settings().CheckSum, 0);
    EXPECT_EQ(r.host.calls, std::vector<std::string>{"stop poll"});
}

TEST(CommWindow, PortAndRateChoicesReopenTheSerialPortAtOnce) {
    CommWindowRig r;
    r.Settings().Type = link::kPortRs232;
    r.logic.Open();
    r.logic.RateChosen(3);
    EXPECT_EQ(r.Settings().RS232Baud, 3);
    EXPECT_TRUE(r.serial.open);
    EXPECT_EQ(r.serial.baud, 115200);
    r.logic.PortChosen(4);
    EXPECT_EQ(r.Settings().RS232Port, 5);
    EXPECT_EQ(r.serial.number, 5);
    EXPECT_TRUE(r.serial.open);
    r.serial.calls.clear();
    r.logic.RateChosen(-1);  // a list being cleared
    r.logic.PortChosen(9);
    EXPECT_TRUE(r.serial.calls.empty());
    EXPECT_EQ(r.Settings().RS232Port, 5);
}

TEST(CommWindow, UsbListSelectsTheStoredDeviceElseTheFirst) {
    CommWindowRig r;
    r.Settings().Type = link::kPortUsb;
    r.Settings().USBDevice = "dv0002";
    r.link.Usb().UsbDeviceList = {"DV0001", "DV0002", "DV0003"};
    r.logic.Open();
    EXPECT_EQ(r.view.usb, r.link.Usb().UsbDeviceList);
    EXPECT_EQ(r.view.usbSelected, 1);
    EXPECT_EQ(r.Settings().USBDevice, "dv0002");
    r.logic.UsbChosen(2);
    EXPECT_EQ(r.Settings().USBDevice, "DV0003");

    r.link.Usb().UsbDeviceList = {"A", "B", "C", "D", "E", "F", "G", "H", "I"};
    r.logic.PortTypeChosen(link::kPortUsb);
    EXPECT_EQ(r.view.usb.size(), 8u);
    EXPECT_EQ(r.view.usbSelected, 0);
    EXPECT_EQ(r.Settings().USBDevice, "A") << "outside loading the shown choice is the setting";
    r.logic.UsbChosen(8);
    EXPECT_EQ(r.Settings().USBDevice, "A");
}

TEST(CommWindow, SendShowsTheReplyOrTheStatusText) {
    CommWindowRig r;
    r.Settings().Type = link::kPortTcp;
    AnswerOn(r.tcp, [](const std::string& command) -> Answer {
        return command == "W 1" ? Answer{'A', " 12 "} : Answer{0, ""};
    });
    r.logic.Send("W 1");
    EXPECT_EQ(r.view.response, "12");
    r.logic.Send("Q");
    EXPECT_EQ(r.view.response, "Timeout");
    r.logic.Send("");
    EXPECT_EQ(r.view.response, "Bad Command");
    EXPECT_EQ(r.view.busy, (std::vector<bool>{true, false, true, false, true, false}));
}

TEST(CommWindow, ClosingHandsBackThePollOnceAsOnlineSays) {
    CommWindowRig r;
    r.logic.Close();  // never opened
    r.logic.Open();
    r.logic.Close();
    r.logic.Close();
    r.link.MutableInfo().Online = true;
    r.logic.Open();
    r.logic.Close();
    EXPECT_EQ(r.host.calls,
              (std::vector<std::string>{"stop poll", "offline", "stop poll", "online"}));
}

}  // namespace
}  // namespace delvar::app
