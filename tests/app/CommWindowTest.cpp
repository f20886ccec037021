#include <gtest/gtest.h>

#include <set>

#include "app/CommWindowLogic.h"
#include "support/FakeSerialDevices.h"
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
    std::vector<std::string> serial;
    int serialSelected = -2;
    std::string serialShown;
    std::string note = "unset";

    void SetControlVisible(const std::string& control, bool on) override {
        visible.erase(control);
        if (on) visible.insert(control);
    }
    void SetPortType(int) override {}
    void SetSerialChoices(const std::vector<std::string>& texts, int selected,
                          const std::string& shown) override {
        serial = texts;
        serialSelected = selected;
        serialShown = shown;
    }
    void SetPortNote(const std::string& text) override { note = text; }
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
    FakeSerialDevices devices;
    CommWindowLogic logic{link, dialogs, mainWindow, host, view, devices};
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

TEST(CommWindow, DeviceAndRateChoicesReopenTheSerialPortAtOnce) {
    CommWindowRig r;
    r.devices.devices = {{"/dev/ttyS0", "", "", "", app::PortAccess::Ok},
                         {"/dev/ttyUSB0", "CP2102", "Silicon Labs",
                          "/dev/serial/by-id/usb-Silicon_Labs_CP2102-if00", app::PortAccess::Ok}};
    r.Settings().Type = link::kPortRs232;
    r.Settings().RS232Port = 5;
    r.logic.Open();
    // A file from before the device choice: port 5 is /dev/ttyS4, which is not listed.
    EXPECT_EQ(r.view.serialSelected, -1);
    EXPECT_EQ(r.view.serialShown, "/dev/ttyS4");
    EXPECT_EQ(r.view.serial[1], "/dev/ttyUSB0 - CP2102 (Silicon Labs)");
    r.logic.RateChosen(3);
    EXPECT_EQ(r.Settings().RS232Baud, 3);
    EXPECT_TRUE(r.serial.open);
    EXPECT_EQ(r.serial.baud, 115200);
    // A listed adapter is kept under its stable name, on the port number already in use.
    r.logic.DeviceChosen(1);
    EXPECT_EQ(r.Settings().RS232Device, "/dev/serial/by-id/usb-Silicon_Labs_CP2102-if00");
    EXPECT_EQ(r.Settings().RS232Port, 5);
    EXPECT_EQ(r.devices.PathOf(5), r.Settings().RS232Device);
    EXPECT_EQ(r.serial.number, 5);
    EXPECT_TRUE(r.serial.open);
    r.serial.calls.clear();
    r.logic.RateChosen(-1);  // a list being cleared
    r.logic.DeviceChosen(2);
    r.logic.DeviceTyped("  ");
    r.logic.DeviceTyped(r.Settings().RS232Device);  // the same device again
    r.logic.DeviceTyped(r.view.serial[1]);          // its text, as the box leaves it
    EXPECT_TRUE(r.serial.calls.empty());
    // A typed path (a pseudo-terminal) is taken as it is; a port number no list shows
    // becomes port 1.
    r.Settings().RS232Port = 0;
    r.logic.DeviceTyped(" /tmp/pty-7 ");
    EXPECT_EQ(r.Settings().RS232Device, "/tmp/pty-7");
    EXPECT_EQ(r.Settings().RS232Port, 1);
    EXPECT_EQ(r.devices.PathOf(1), "/tmp/pty-7");
    // Typing a listed port's text picks that port.
    r.logic.DeviceTyped("/dev/ttyS0");
    EXPECT_EQ(r.Settings().RS232Device, "/dev/ttyS0");
}

TEST(CommWindow, APortThatCannotBeOpenedIsMarkedAndNamesTheRemedy) {
    CommWindowRig r;
    r.devices.devices = {{"/dev/ttyUSB0", "", "", "", app::PortAccess::Denied}};
    r.devices.access["/dev/ttyUSB0"] = app::PortAccess::Denied;
    r.devices.access["/dev/ttyS0"] = app::PortAccess::Missing;
    r.Settings().Type = link::kPortTcp;
    r.Settings().RS232Device = "/dev/ttyUSB0";
    r.logic.Open();
    EXPECT_EQ(r.view.serial, std::vector<std::string>{"/dev/ttyUSB0 [no permission]"});
    EXPECT_EQ(r.view.serialSelected, 0);
    EXPECT_EQ(r.view.note, "") << "only RS-232 shows the note";
    r.logic.PortTypeChosen(link::kPortRs232);
    EXPECT_NE(r.view.note.find("No permission to open /dev/ttyUSB0"), std::string::npos);
    EXPECT_NE(r.view.note.find("dialout"), std::string::npos);
    EXPECT_NE(r.view.note.find("log out and in again"), std::string::npos);
    r.logic.DeviceTyped("/dev/ttyS0");
    EXPECT_EQ(r.view.note, "There is no serial port /dev/ttyS0.");
    r.logic.DeviceTyped("/dev/ttyS1");
    EXPECT_EQ(r.view.note, "");
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
