#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>

#include "link/Connect.h"
#include "link/Frame.h"
#include "support/LinkRig.h"
#include "support/ScriptedDialogs.h"

namespace delvar::link {
namespace {

using namespace delvar::testing;

struct RecordingHost final : ConnectHost {
    std::vector<std::string> calls;
    std::function<void()> onLoad;
    void SetTitle(const std::string& title) override { calls.push_back("title " + title); }
    void EnableInstrumentMenu(bool on) override { calls.push_back(on ? "menu on" : "menu off"); }
    void ShowCommWindowOnTop() override { calls.push_back("comm window"); }
    void LoadProcesses() override {
        calls.push_back("load processes");
        if (onLoad) onLoad();
    }
};

struct ConnectRig : LinkRig {
    ScriptedDialogs dialogs;
    RecordingHost host;
    std::string version = "DELVAR  Ver 6.30";
    std::string channels = "2";
    int lostJ = 0;                 // this many "J" go unanswered
    std::deque<Answer> atAnswers;  // the first answers to "@", before the version
    std::vector<std::string> commands;

    ConnectRig() {
        AnswerOn(tcp, [this](const std::string& command) -> Answer {
            commands.push_back(command);
            if (command == "@" && !atAnswers.empty()) {
                Answer answer = atAnswers.front();
                atAnswers.pop_front();
                return answer;
            }
            if (command == "@") return {'A', version};
            if (command == "J") return lostJ-- > 0 ? Answer{0, ""} : Answer{'A', channels};
            return {'A', "reply to " + command};
        });
    }
    bool Connect() { return ConnectInstrument(link, dialogs, host, "Delvar Comm"); }
};

TEST(Connect, AcceptedFirmwareGoesOnLine) {
    ConnectRig r;
    r.version = " DELVAR  Ver 6.30 ";
    EXPECT_TRUE(r.Connect());
    EXPECT_TRUE(r.link.Info().Online);
    EXPECT_FALSE(r.link.Info().CoDep);
    EXPECT_EQ(r.link.Info().ChannelCount, 2);
    EXPECT_TRUE(r.link.OfflineNoticeShown);
    EXPECT_EQ(r.host.calls, (std::vector<std::string>{"title Delvar Comm - [DELVAR  Ver 6.30]",
                                                      "menu on", "load processes"}));
    EXPECT_EQ(r.commands, (std::vector<std::string>{"@", "J"}));
    EXPECT_TRUE(r.dialogs.messages.empty());
    EXPECT_FALSE(r.link.Receive().Connecting);
    r.version = "DELVARC Ver 6.31";
    r.lostJ = 1;  // asked once more
    r.commands.clear();
    EXPECT_TRUE(r.Connect());
    EXPECT_TRUE(r.link.Info().CoDep);
    EXPECT_EQ(r.commands, (std::vector<std::string>{"@", "J", "J"}));
}

TEST(Connect, OldFirmwareIsRefusedWithItsMessage) {
    const std::pair<const char*, const char*> cases[] = {
        {"DELVAR  Ver 6.29",
         "You must upgrade the Delvar to version 6.30 or later\nfor use with this Comm software."},
        {"DELVAR  Ver 5.10",
         "Delvar firmware version DELVAR  Ver 5.10 cannot be used with this "
         "Comm software.\n\nUse Pellan Comm Version 1.XX."}};
    for (const auto& [version, text] : cases) {
        ConnectRig r;
        r.version = version;
        EXPECT_FALSE(r.Connect());
        EXPECT_EQ(r.dialogs.Texts(), std::vector<std::string>{text});
        EXPECT_EQ(r.dialogs.messages[0].icon, core::MessageIcon::Exclamation);
        EXPECT_EQ(r.host.calls,
                  (std::vector<std::string>{"title Delvar Comm - [Off Line]", "menu off"}));
        EXPECT_FALSE(r.link.OfflineNoticeShown);
        EXPECT_EQ(r.commands, std::vector<std::string>{"@"});  // no "J" for refused firmware
    }
}

TEST(Connect, FirmwareNumberIsTakenFromTheEnd) {
    EXPECT_DOUBLE_EQ(FirmwareVersion("DELVAR  Ver 6.30"), 6.30);
    EXPECT_DOUBLE_EQ(FirmwareVersion("DELVARVer6.45"), 0.45);  // no blank: the last three only
    EXPECT_DOUBLE_EQ(FirmwareVersion("X 7.10"), 7.10);
    EXPECT_DOUBLE_EQ(FirmwareVersion("6.3"), 6.3);
    EXPECT_DOUBLE_EQ(FirmwareVersion(""), 0.0);
}

TEST(Connect, PortThatCannotOpenGoesOffLineQuietly) {
    ConnectRig r;
    r.tcp.stateAfterConnect = 6;
    EXPECT_FALSE(r.Connect());
    EXPECT_TRUE(r.dialogs.messages.empty());
    EXPECT_EQ(r.host.calls,
              (std::vector<std::string>{"title Delvar Comm - [Off Line]", "menu off"}));
    EXPECT_TRUE(r.commands.empty());
}

// No answer to "@", or no count from "J" asked twice: off line with the communications
// window and its message; the output count is never guessed.
TEST(Connect, WithoutVersionOrOutputCountTheConnectEndsOffLine) {
    for (const std::string reply : {"silent", "lost", "four", "0", "99"}) {
        ConnectRig r;
        r.link.MutableInfo().ChannelCount = 4;
        r.channels = reply;
        r.lostJ = reply == "lost" ? 2 : 0;
        if (reply == "silent") r.tcp.onSend = nullptr;
        EXPECT_FALSE(r.Connect()) << reply;
        EXPECT_FALSE(r.link.Info().Online);
        EXPECT_EQ(r.link.Info().ChannelCount, 4);
        EXPECT_EQ(r.commands, (reply == "silent" ? std::vector<std::string>{}
                                                 : std::vector<std::string>{"@", "J", "J"}));
        ASSERT_EQ(r.dialogs.Texts(),
                  std::vector<std::string>{"Instrument not found.\nVerify "
                                           "Comm Port and instrument Baud Rate."});
        EXPECT_TRUE(r.dialogs.messages[0].systemModal);
        EXPECT_EQ(r.host.calls,
                  (std::vector<std::string>{"title Delvar Comm - [Off Line]", "menu off",
                                            "comm window", "comm window"}));
    }
}

// A version reply damaged on the line (bad check bytes, or the command taken as
// damaged) is asked for once more; silence or a refusal is not, and ends off line.
TEST(Connect, DamagedVersionReplyIsAskedOnceMoreButSilenceIsNot) {
    const Answer badCheck{'A', "DELVAR  Ver 9.99", true}, takenDamaged{'F', ""};
    for (const Answer& damaged : {badCheck, takenDamaged}) {
        ConnectRig r;
        r.atAnswers = {damaged};
        EXPECT_TRUE(r.Connect()) << damaged.status;
        EXPECT_EQ(r.commands, (std::vector<std::string>{"@", "@", "J"}));
        EXPECT_TRUE(r.dialogs.messages.empty());
        EXPECT_EQ(r.link.Info().VersionText, r.version);
    }
    const Answer silent{0, ""}, refused{'C', ""};
    const std::deque<Answer> endsOffLine[] = {{silent}, {refused}, {badCheck, takenDamaged}};
    for (const std::deque<Answer>& answers : endsOffLine) {
        ConnectRig r;
        r.atAnswers = answers;
        EXPECT_FALSE(r.Connect());
        EXPECT_FALSE(r.link.Info().Online);
        EXPECT_EQ(r.commands, std::vector<std::string>(answers.size(), "@"));
        EXPECT_EQ(r.dialogs.Texts(),
                  std::vector<std::string>{"Instrument not found.\nVerify "
                                           "Comm Port and instrument Baud Rate."});
    }
}

TEST(Connect, ExchangesDuringThePortWorkAreRefusedAndASecondConnectReturnsAtOnce) {
    ConnectRig r;
    r.tcp.stateAfterConnect = 6;
    int nestedStatus = -1;
    bool nestedConnect = true;
    r.pump.At(1, [&] {
        r.link.SendCommand("V");
        nestedStatus = r.link.CommStatus();
        nestedConnect = r.Connect();
        r.tcp.state = TcpSocket::kConnected;
    });
    EXPECT_TRUE(r.Connect());
    EXPECT_EQ(nestedStatus, kBusy);
    EXPECT_FALSE(nestedConnect);
    EXPECT_EQ(r.commands, (std::vector<std::string>{"@", "J"}));
}

// An error raised by an event handler while the port opens ends the connect: later
// commands are not refused as busy and a later connect is not taken for a running one.
TEST(Connect, ErrorRaisedDuringTheConnectReleasesTheLink) {
    ConnectRig r;
    r.tcp.stateAfterConnect = 6;  // still connecting: the connect waits, running events
    r.pump.At(1, [] { throw std::runtime_error("handler failed"); });
    EXPECT_THROW(r.Connect(), std::runtime_error);
    EXPECT_EQ(r.link.CommStatus(), kTimeout);
    r.tcp.state = r.tcp.stateAfterConnect = TcpSocket::kConnected;
    EXPECT_EQ(r.link.SendCommand("K1"), "reply to K1");
    EXPECT_TRUE(r.Connect());
}

// A command waiting when a connect begins is sent again and gets its own reply; when
// the connect fails it ends with Timeout, never with the reply of "@" or "J".
TEST(Connect, InterruptedExchangeGetsItsOwnReplyOrTimeout) {
    for (const std::string version : {"DELVAR  Ver 6.30", "DELVAR  Ver 6.10"}) {
        ConnectRig r;
        r.version = version;
        r.tcp.onSend = [&](const Bytes& frame) {
            std::string command = CommandOf(frame);
            r.commands.push_back(command);
            if (command == "K1" && r.commands.size() == 1) {
                r.pump.At(r.pump.Passes() + 1, [&] { r.Connect(); });  // in the middle of the wait
                return;
            }
            std::string data = command == "@" ? r.version : command == "J" ? "4" : "K1 readings";
            r.tcp.Deliver(BuildReplyFrame('A', data));
        };
        const bool accepted = version.ends_with("6.30");
        EXPECT_EQ(r.link.SendCommand("K1"), accepted ? "K1 readings" : "");
        EXPECT_EQ(r.link.CommStatus(), accepted ? kOk : kTimeout);
        EXPECT_EQ(r.commands, (accepted ? std::vector<std::string>{"K1", "@", "J", "K1"}
                                        : std::vector<std::string>{"K1", "@"}));
        EXPECT_TRUE(r.link.Receive().PendingCommand.empty());
    }
}

TEST(Connect, UsbAdoptsTheOneAttachedBridge) {
    ConnectRig r;
    r.link.Settings().Type = kPortUsb;
    r.link.Settings().USBDevice = "GONE";
    auto device = r.usb.AddDevice("NEW-1", "8292");
    r.usb.Device(device).onWrite = [&](const Bytes& frame) {
        std::string command = CommandOf(frame);
        r.usb.Queue(device, BuildReplyFrame('A', command == "@" ? r.version : "4"));
    };
    EXPECT_TRUE(r.Connect());
    EXPECT_EQ(r.link.Settings().USBDevice, "NEW-1");
    EXPECT_EQ(r.usb.OpenHandles().size(), 1u);  // only the chosen device stays open
    EXPECT_EQ(r.link.Info().ChannelCount, 4);
}

TEST(Connect, UsbWithTwoUnknownBridgesStaysOffLineWithoutAMessage) {
    ConnectRig r;
    r.link.Settings().Type = kPortUsb;
    r.link.Settings().USBDevice = "GONE";
    r.usb.AddDevice("A", "8292");
    r.usb.AddDevice("B", "8292");
    EXPECT_FALSE(r.Connect());
    EXPECT_EQ(r.link.Settings().USBDevice, "GONE");
    EXPECT_TRUE(r.dialogs.messages.empty());
    EXPECT_TRUE(r.usb.OpenHandles().empty());
}

}  // namespace
}  // namespace delvar::link
