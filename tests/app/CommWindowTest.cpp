#include <gtest/gtest.h>

#include <set>

#include "app/CommWindowLogic.h"
#include "support/LinkRig.h"
#include "support/ScriptedDialogs.h"

namespace delvar::app {
namespace {

using namespace delvar::testing;

// Records what the window shows.
struct RecordingView final : CommWindowView {
    std::set<std::string> visible;
    std::vector<std::string> usb;
    int usbSelected = -2;
    std::string response;

    void SetControlVisible(const std::string& control, bool on) override {
        visible.erase(control);
        if (on) visible.insert(control);
    }
    void SetPortType(int) override {}
    void SetPortChoice(int) override {}
    void SetRateChoices(const std::vector<std::string>&, int) override {}
    void SetUsbChoices(const std::vector<std::string>& serials, int selected) override {
        usb = serials;
        usbSelected = selected;
    }
    void SetEthernet(const std::string&, const std::string&) override {}
    void SetChecks(bool, bool) override {}
    void SetCommandText(const std::string&) override {}
    void SetResponseText(const std::string& text) override { response = text; }
    void SetSendBusy(bool) override {}
};

struct QuietHost final : CommWindowHost {
    void StopPollTimer() override {}
    void FollowOnline(bool) override {}
};

struct CommWindowRig : LinkRig {
    ScriptedDialogs dialogs;
    QuietHost host;
    link::NoWindowHost mainWindow;
    RecordingView view;
    CommWindowLogic logic{link, dialogs, mainWindow, host, view};
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

    // The instrument takes plain ASCII: anything else is not sent at all.
    r.tcp.sent.clear();
    for (const char* command : {"W 1°", "Name Dünn", "W\t1"}) {
        r.view.response.clear();
        r.logic.Send(command);
        EXPECT_EQ(r.view.response, kPlainAsciiOnly) << command;
    }
    EXPECT_TRUE(r.tcp.sent.empty());
    EXPECT_FALSE(r.logic.Sending());
}

}  // namespace
}  // namespace delvar::app
