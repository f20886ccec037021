#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

#include "support/FakeSerialDevices.h"
#include "support/LinkRig.h"
#include "support/ScriptedDialogs.h"
#include "windows/app/frmComm.h"

namespace delvar::windows {
namespace {

using namespace delvar::testing;

// The main window as the communications window and the connect see it; like the
// real one it brings the open communications window up when the connect asks.
struct MainWindowDouble final : app::CommWindowHost, link::ConnectHost {
    frmComm* window = nullptr;
    std::vector<std::string> calls;
    void StopPollTimer() override { calls.push_back("stop poll"); }
    void FollowOnline(bool online) override { calls.push_back(online ? "online" : "offline"); }
    void SetTitle(const std::string&) override {}
    void EnableInstrumentMenu(bool) override {}
    void ShowCommWindowOnTop() override { window->ShowOnTop(); }
    void LoadProcesses() override {}
};

struct CommWidgetRig : LinkRig {
    ScriptedDialogs dialogs;
    MainWindowDouble main;
    FakeSerialDevices devices;
    frmComm window{link, dialogs, main, main, devices};
    CommWidgetRig() { main.window = &window; }

    template <typename W = QWidget>
    W* Child(const char* name) {
        W* w = window.findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    bool Shows(const char* name) { return Child(name)->isVisibleTo(&window); }
    void Click(const char* name) { QTest::mouseClick(Child(name), Qt::LeftButton); }
    QString Text(const char* name) { return Child<QLineEdit>(name)->text(); }
};

TEST(CommWindowWidget, OpensOnTheStoredUsbDeviceWithOnlyTheUsbList) {
    CommWidgetRig r;
    r.link.Settings() = {
        .Type = link::kPortUsb, .RS232Port = 3, .RS232Baud = 2, .USBDevice = "dv0002"};
    r.link.Usb().UsbDeviceList = {"DV0001", "DV0002"};
    r.window.Open();
    ASSERT_TRUE(r.window.isVisible());
    // Filling the lists fires their change signals; none of them may act.
    EXPECT_TRUE(r.serial.calls.empty());
    EXPECT_EQ(r.link.Settings().RS232Port, 3);
    EXPECT_EQ(r.link.Settings().RS232Baud, 2);
    EXPECT_EQ(r.Child<QComboBox>("cboBaud")->currentText(), "57600");
    EXPECT_TRUE(r.Shows("cboUSB"));
    for (const char* hidden : {"cboRS232", "lblBaud", "cboBaud", "txtEAddr", "lblPort", "txtEport"})
        EXPECT_FALSE(r.Shows(hidden)) << hidden;
    EXPECT_EQ(r.window.findChild<QWidget*>("cmdESetup"), nullptr);
    EXPECT_EQ(r.Child<QComboBox>("cboUSB")->currentText(), "DV0002");
    EXPECT_EQ(r.link.Settings().USBDevice, "dv0002");
    EXPECT_EQ(r.Child<QComboBox>("cboRS232")->currentText(), "/dev/ttyS2");
    EXPECT_EQ(r.main.calls, std::vector<std::string>{"stop poll"});

    QTest::mouseClick(r.Child("optComm_0"), Qt::LeftButton);
    EXPECT_TRUE(r.Shows("cboBaud"));
    EXPECT_TRUE(r.serial.open) << "choosing RS-232 opens the serial port";
    r.Child<QComboBox>("cboBaud")->setCurrentIndex(1);
    EXPECT_EQ(r.serial.baud, 38400);
    r.window.Open();  // already open: only raised
    EXPECT_EQ(r.main.calls.size(), 1u);
}

TEST(CommWindowWidget, SendWaitsWithTheButtonDisabledThenShowsTimeout) {
    CommWidgetRig r;  // a connected socket that never answers
    r.window.Open();
    r.Child<QLineEdit>("txtSend")->setText("V");
    r.Child<QLineEdit>("txtRcv")->setText("old reply");
    bool enabledDuringWait = true;
    bool hourglass = false;
    QString shownDuringWait = "unset";
    r.pump.At(r.pump.Passes() + 10, [&] {
        enabledDuringWait = r.Child("cmdSend")->isEnabled();
        hourglass = QApplication::overrideCursor() &&
                    QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        shownDuringWait = r.Text("txtRcv");
    });
    r.Click("cmdSend");
    EXPECT_FALSE(enabledDuringWait);
    EXPECT_TRUE(hourglass);
    EXPECT_EQ(shownDuringWait, "");
    EXPECT_EQ(r.Text("txtRcv"), "Timeout");
    EXPECT_TRUE(r.Child("cmdSend")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_GE(r.pump.Passes(), 2000) << "the full 2 s reply budget on the fake clock";
}

TEST(CommWindowWidget, SendRefusesTextTheInstrumentCannotReadAndSaysSoInFull) {
    CommWidgetRig r;
    r.window.Open();
    QTest::keyClicks(r.Child<QLineEdit>("txtSend"), QString::fromUtf8("T 25 °C"));
    r.Click("cmdSend");
    EXPECT_EQ(r.Text("txtRcv").toStdString(), app::kPlainAsciiOnly);
    EXPECT_TRUE(r.tcp.sent.empty());
    auto* reply = r.Child<QLineEdit>("txtRcv");
    EXPECT_LE(reply->fontMetrics().horizontalAdvance(reply->text()), reply->width() - 8)
        << "the whole message shows";
    if (const QByteArray folder = qgetenv("DELVAR_SHOTS"); !folder.isEmpty())
        r.window.grab().save(QString::fromUtf8(folder) + "/frmComm-not-ascii.png");
}

TEST(CommWindowWidget, FindShowsTheVersionOrBringsTheWindowUpOnTop) {
    CommWidgetRig r;
    bool answering = true;
    AnswerOn(r.tcp, [&](const std::string& command) -> Answer {
        if (!answering) return {0, ""};
        return command == "@" ? Answer{'A', "DELVAR  Ver 6.40"} : Answer{'A', "2"};
    });
    r.window.Open();
    r.Click("cmdFind");
    EXPECT_EQ(r.Text("txtSend"), "@");
    EXPECT_EQ(r.Text("txtRcv"), "DELVAR  Ver 6.40");
    EXPECT_TRUE(r.link.Info().Online);

    answering = false;
    r.Child<QLineEdit>("txtRcv")->clear();
    r.Click("cmdFind");
    EXPECT_EQ(r.dialogs.Texts(),
              std::vector<std::string>{
                  "Instrument not found.\nVerify Comm Port and instrument Baud Rate."});
    EXPECT_TRUE(r.window.isVisible());
    EXPECT_TRUE(r.window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(r.Text("txtRcv"), "");
    EXPECT_EQ(r.main.calls, std::vector<std::string>{"stop poll"}) << "opened once";
}

TEST(CommWindowWidget, ClosingHandsThePollBackOnlyWhenOnline) {
    CommWidgetRig r;
    r.window.Open();
    r.Child<QLineEdit>("txtEAddr")->setText("10.1.1.9");  // typed, focus never left
    r.Click("cmdOK");
    EXPECT_FALSE(r.window.isVisible());
    EXPECT_EQ(r.main.calls, (std::vector<std::string>{"stop poll", "offline"}));
    EXPECT_EQ(r.link.Settings().EAddress, "10.1.1.9");
    r.window.ShowOnTop();  // brought up by a connect while closed: the opening steps run
    EXPECT_TRUE(r.window.isVisible());
    r.link.MutableInfo().Online = true;
    QTest::keyClick(&r.window, Qt::Key_Escape);
    r.window.close();  // already closed: nothing more
    EXPECT_EQ(r.main.calls,
              (std::vector<std::string>{"stop poll", "offline", "stop poll", "online"}));
}

}  // namespace
}  // namespace delvar::windows

namespace delvar::windows {
namespace {

TEST(CommWindowWidget, SerialPortsListedOrTypedAndOnesThatCannotBeOpenedMarked) {
    CommWidgetRig r;
    r.devices.devices = {{"/dev/ttyUSB0", "CP2102", "Silicon Labs", "/dev/serial/by-id/cp2102",
                          app::PortAccess::Denied}};
    r.devices.access["/dev/serial/by-id/cp2102"] = app::PortAccess::Denied;
    r.link.Settings().Type = link::kPortRs232;
    r.window.Open();
    auto* combo = r.Child<QComboBox>("cboRS232");
    ASSERT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->itemText(0), "/dev/ttyUSB0 - CP2102 (Silicon Labs) [no permission]");
    EXPECT_FALSE(r.Shows("lblAccess")) << "/dev/ttyS0 can be opened";

    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), "/tmp/delvar-pty");
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(r.link.Settings().RS232Device, "/tmp/delvar-pty");
    EXPECT_EQ(r.devices.PathOf(1), "/tmp/delvar-pty");
    EXPECT_EQ(combo->count(), 1) << "a typed path is not added to the list";

    emit combo->activated(0);
    EXPECT_EQ(r.link.Settings().RS232Device, "/dev/serial/by-id/cp2102");
    EXPECT_EQ(combo->currentText(), combo->itemText(0)) << "the device in use is shown";
    ASSERT_TRUE(r.Shows("lblAccess"));
    EXPECT_NE(r.Child<QLabel>("lblAccess")->text().indexOf("dialout"), -1);
}

}  // namespace
}  // namespace delvar::windows
