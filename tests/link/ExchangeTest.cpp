#include <gtest/gtest.h>

#include <stdexcept>

#include "link/Frame.h"
#include "link/Link.h"
#include "support/LinkRig.h"

namespace delvar::link {
namespace {

using testing::FakeUsbXpress;
using Rig = testing::LinkRig;
using Calls = std::vector<std::string>;

TEST(Exchange, TcpReplyInChunksIsAssembledAndTrimmed) {
    Rig r;
    Bytes reply = BuildReplyFrame('A', " 1 2 3 4 5 6 7 8 ");
    r.tcp.onSend = [&](const Bytes&) {
        int base = r.pump.Passes();
        for (std::size_t i = 0; i < reply.size(); i += 3) {
            Bytes chunk(reply.begin() + i, reply.begin() + std::min(reply.size(), i + 3));
            r.pump.At(base + 1 + static_cast<int>(i), [&, chunk] { r.tcp.Deliver(chunk); });
        }
    };
    EXPECT_EQ(r.link.SendCommand("D7? 1"), "1 2 3 4 5 6 7 8");
    EXPECT_EQ(r.link.CommStatus(), kOk);
    EXPECT_EQ(r.link.Exchange().LastCommand, "");
    EXPECT_GT(r.tcp.reads, 1);
    EXPECT_EQ(r.tcp.sent, std::vector<Bytes>{BuildCommandFrame("D7? 1", true)});
}

TEST(Exchange, SilenceTimesOutAfterTwoSecondsAndTheWaitSleeps) {
    Rig r;
    const auto start = r.clock.Now();
    EXPECT_EQ(r.link.SendCommand("V"), "");
    EXPECT_EQ(r.link.CommStatus(), kTimeout);
    auto waited = r.clock.Now() - start;
    EXPECT_GT(waited, kReplyBudget);
    EXPECT_LT(waited, kReplyBudget + std::chrono::milliseconds(5));
    EXPECT_EQ(r.pump.SleepingPasses(), r.pump.Passes());  // nothing came: every pass slept
}

TEST(Exchange, StrayByteBeforeAReplyDoesNotRejudgeThePreviousFrame) {
    Rig r;
    Bytes first = BuildReplyFrame('A', "old");
    r.tcp.onSend = [&](const Bytes&) { r.tcp.Deliver(first); };
    ASSERT_EQ(r.link.SendCommand("K1"), "old");
    // The next exchange sees only noise equal to the old last check byte, then its reply.
    r.tcp.onSend = [&](const Bytes&) {
        r.tcp.Deliver({first.back()});
        r.pump.At(r.pump.Passes() + 2, [&] { r.tcp.Deliver(BuildReplyFrame('A', "new")); });
    };
    EXPECT_EQ(r.link.SendCommand("K1"), "new");
    EXPECT_EQ(r.link.CommStatus(), kOk);
}

TEST(Exchange, AReplyLateForItsExchangeIsNotTakenForTheNext) {
    Rig r;
    r.tcp.onSend = [](const Bytes&) {};
    r.link.SendCommand("C5? 1");
    ASSERT_EQ(r.link.CommStatus(), kTimeout);
    // The first reply turns up after the time-out, before the next command goes out.
    r.tcp.Deliver(BuildReplyFrame('A', "late"));
    r.tcp.onSend = [&](const Bytes&) { r.tcp.Deliver(BuildReplyFrame('A', "right")); };
    EXPECT_EQ(r.link.SendCommand("C6? 1"), "right");
}

TEST(Exchange, NestedCommandFromAnEventIsRefusedAsBusy) {
    Rig r;
    std::string nestedReply = "unset";
    int nestedStatus = -1;
    r.tcp.onSend = [&](const Bytes&) {
        if (r.tcp.sent.size() != 1) return;
        int base = r.pump.Passes();
        r.pump.At(base + 1, [&] {
            nestedReply = r.link.SendCommand("K2");
            nestedStatus = r.link.CommStatus();
        });
        r.pump.At(base + 3, [&] { r.tcp.Deliver(BuildReplyFrame('A', "outer")); });
    };
    EXPECT_EQ(r.link.SendCommand("V"), "outer");
    EXPECT_EQ(r.link.CommStatus(), kOk);
    EXPECT_EQ(nestedReply, "");
    EXPECT_EQ(nestedStatus, kBusy);
    EXPECT_EQ(r.tcp.sent.size(), 1u);  // the nested command never went out
}

// An error escaping from an event handler run inside the wait ends that exchange as
// timed out; the next command goes through instead of being refused as busy.
TEST(Exchange, ErrorRaisedDuringTheWaitDoesNotLeaveTheLinkBusy) {
    Rig r;
    r.tcp.onSend = [&](const Bytes&) {
        if (r.tcp.sent.size() == 1) {
            r.pump.At(r.pump.Passes() + 1, [] { throw std::runtime_error("handler failed"); });
            return;
        }
        r.tcp.Deliver(BuildReplyFrame('A', "next"));
    };
    EXPECT_THROW(r.link.SendCommand("V"), std::runtime_error);
    EXPECT_EQ(r.link.CommStatus(), kTimeout);
    EXPECT_EQ(r.link.Exchange().LastCommand, "");
    EXPECT_EQ(r.link.SendCommand("K1"), "next");
    EXPECT_EQ(r.link.CommStatus(), kOk);
    EXPECT_EQ(r.tcp.sent.size(), 2u);
}

TEST(Exchange, OverlongCommandIsRefusedWithoutSendingOrBlocking) {
    Rig r;
    EXPECT_EQ(r.link.SendCommand(std::string(222, 'X')), "");
    EXPECT_EQ(r.link.CommStatus(), kMessageTooLong);
    EXPECT_TRUE(r.tcp.sent.empty());
    EXPECT_EQ(r.pump.Passes(), 0);
    // The link is not left busy; Bad Data still returns its text, other statuses do not.
    char status = 'D';
    r.tcp.onSend = [&](const Bytes&) { r.tcp.Deliver(BuildReplyFrame(status, "42")); };
    EXPECT_EQ(r.link.SendCommand("C5 3,12"), "42");
    EXPECT_EQ(r.link.CommStatus(), kBadData);
    status = 'E';
    EXPECT_EQ(r.link.SendCommand("C5 3,12"), "");
    EXPECT_EQ(r.link.CommStatus(), kBadMode);
    r.link.Settings().CheckSum = 0;
    r.link.SendCommand("@");
    EXPECT_EQ(r.tcp.sent.back(), (Bytes{0x21, 0x23, 0x40, 0x00, 0x00}));
}

// Nothing goes out (socket closed, serial port not open, no such port type): the
// exchange ends by time-out, never busy.
TEST(Exchange, NoUsablePortSendsNothingAndTimesOut) {
    for (int type : {int(kPortTcp), int(kPortRs232), 7}) {
        Rig r;
        r.tcp.state = 0;
        r.link.Settings().Type = type;
        EXPECT_EQ(r.link.SendCommand("V"), "") << type;
        EXPECT_EQ(r.link.CommStatus(), kTimeout) << type;
        EXPECT_TRUE(r.tcp.sent.empty());
        EXPECT_TRUE(r.serial.written.empty());
    }
}

TEST(Exchange, SerialDiscardsInputReadsOneBytePerPassAndAPortErrorEndsAtOnce) {
    Rig r;
    r.link.Settings().Type = kPortRs232;
    r.serial.open = true;
    r.serial.Deliver({'s', 't', 'a', 'l', 'e'});
    Bytes reply = BuildReplyFrame('A', "7");
    r.serial.onWrite = [&](const Bytes&) { r.serial.Deliver(reply); };
    EXPECT_EQ(r.link.SendCommand("J"), "7");
    EXPECT_EQ(r.serial.calls.back(), "discard");
    EXPECT_EQ(r.pump.Passes(), static_cast<int>(reply.size()) - 1);
    EXPECT_EQ(r.pump.SleepingPasses(), 0);  // no pass slept while bytes were waiting

    r.serial.readFails = true;
    const auto start = r.clock.Now();
    EXPECT_EQ(r.link.SendCommand("V"), "");
    EXPECT_EQ(r.link.CommStatus(), kTimeout);
    EXPECT_LT(r.clock.Now() - start, std::chrono::milliseconds(100));
    r.serial.readFails = false;
    EXPECT_EQ(r.link.SendCommand("V"), "7");  // later exchanges are not refused as busy
}

TEST(Exchange, UsbGoesThroughTheBridgeAndAFailedWriteClosesTheHandle) {
    Rig r;
    r.link.Settings().Type = kPortUsb;
    auto device = r.usb.AddDevice("DV001", "8292");
    std::int32_t handle = 0;
    ASSERT_EQ(r.link.UsbWrappers().UsbOpen(device, handle), 0);
    r.link.Usb().UsbHandle = handle;
    r.usb.Device(device).onWrite = [&](const Bytes&) {
        r.usb.Queue(device, BuildReplyFrame('A', "4"));
    };
    r.usb.ClearCalls();
    EXPECT_EQ(r.link.SendCommand("J"), "4");
    EXPECT_EQ(r.link.CommStatus(), kOk);
    const std::string h = "h" + std::to_string(handle);
    EXPECT_EQ(r.usb.Calls(), (Calls{"SI_FlushBuffers(" + h + ",1,1)", "SI_Write(" + h + ",5)",
                                    "SI_CheckRXQueue(" + h + ")", "SI_Read(" + h + ",252)"}));

    r.usb.ForceResult("SI_Write", UsbXpress::kWriteError);
    EXPECT_EQ(r.link.SendCommand("J"), "");
    EXPECT_EQ(r.link.CommStatus(), kTimeout);
    EXPECT_EQ(r.usb.DeviceOf(handle), -1);
    EXPECT_EQ(r.link.Usb().UsbHandle, handle);  // the handle variable keeps its value
    r.link.SendCommand("J");
    EXPECT_EQ(r.link.CommStatus(), kTimeout);  // and later exchanges keep timing out
}

// Answers by script, one entry per frame sent: a status character, 0 for no answer
// at all, '7' for a good reply whose check bytes were damaged on the way.
struct RetryRig : Rig {
    std::vector<char> script;
    std::vector<std::string> sent;
    RetryRig() {
        tcp.onSend = [this](const Bytes& frame) {
            sent.push_back(testing::CommandOf(frame));
            const char status = sent.size() <= script.size() ? script[sent.size() - 1] : 'A';
            if (status == 0) return;
            Bytes reply = BuildReplyFrame(status == '7' ? 'A' : status, "ok");
            if (status == '7') reply.back() ^= 0x01;
            tcp.Deliver(reply);
        };
    }
};

TEST(Retries, LostOrDamagedSetupExchangesAreSentAgainUpToN) {
    RetryRig r;
    r.link.SetRetries(2);
    // A time-out, then a command the instrument took as damaged: the third goes through.
    r.script = {0, 'F'};
    EXPECT_EQ(r.link.SendCommand("C5? 1"), "ok");
    EXPECT_EQ(r.link.CommStatus(), kOk);
    EXPECT_EQ(r.sent, Calls(3, "C5? 1"));

    r.sent.clear();
    r.script = {'7'};
    EXPECT_EQ(r.link.SendCommand("D7 1,2"), "ok");
    EXPECT_EQ(r.sent.size(), 2u);

    r.sent.clear();
    r.script = {0, 0, 0, 0};
    EXPECT_EQ(r.link.SendCommand("C5? 1"), "");
    EXPECT_EQ(r.link.CommStatus(), kTimeout);
    EXPECT_EQ(r.sent.size(), 3u);  // the first and two more, then the status stands
}

TEST(Retries, OperatingCommandsBracketsRefusalsAndZeroAreNeverRepeated) {
    const std::pair<int, const char*> cases[] = {{3, "U 0"},    {3, "S1 50"}, {3, "T 1"},
                                                 {3, "XSTART"}, {3, "XSTOP"}, {0, "C5? 1"}};
    for (auto [retries, command] : cases) {
        RetryRig r;
        r.link.SetRetries(retries);
        r.script = {0};
        r.link.SendCommand(command);
        EXPECT_EQ(r.link.CommStatus(), kTimeout) << command;
        EXPECT_EQ(r.sent.size(), 1u) << command;
    }
    RetryRig r;
    r.link.SetRetries(3);
    r.script = {'D', 'E'};  // the instrument's own refusals are answers, not losses
    r.link.SendCommand("C5 1,2");
    EXPECT_EQ(r.link.CommStatus(), kBadData);
    r.link.SendCommand("C5 1,2");
    EXPECT_EQ(r.link.CommStatus(), kBadMode);
    EXPECT_EQ(r.sent.size(), 2u);
}

// The windows' setup transfers: a damaged reply is asked again up to twice, a
// time-out never (that is the CLI's --retries), and only while the transfer lasts.
TEST(Retries, AWindowTransferRepeatsDamagedRepliesButNotTimeOuts) {
    RetryRig r;
    {
        const RepeatDamagedReplies repeat(r.link);
        r.script = {'7', 'F'};
        EXPECT_EQ(r.link.SendCommand("D7? 1"), "ok");
        EXPECT_EQ(r.sent.size(), 3u);
        for (const char* command : {"C5? 1", "XSTART", "U 0"}) {
            r.sent.clear();
            r.script = {command[0] == 'C' ? '\0' : '7'};
            r.link.SendCommand(command);
            EXPECT_EQ(r.sent.size(), 1u) << command;
        }
        r.sent.clear();
        r.script = {'7', '7', '7'};
        r.link.SendCommand("D7? 1");
        EXPECT_EQ(r.link.CommStatus(), kReceiveCrcError) << "two repeats, then it stands";
        EXPECT_EQ(r.sent.size(), 3u);
    }
    r.sent.clear();
    r.script = {'7'};
    r.link.SendCommand("D7? 1");
    EXPECT_EQ(r.sent.size(), 1u) << "after the transfer nothing is repeated";

    r.link.SetRetries(1);  // the CLI's rule stays as it was inside a window transfer
    const RepeatDamagedReplies repeat(r.link);
    r.sent.clear();
    r.script = {0, 0};
    r.link.SendCommand("D7? 1");
    EXPECT_EQ(r.sent.size(), 2u);
}

// An action that needs the link for a sequence, asked for while an exchange waits
// (a menu chosen during a poll), starts once that exchange has ended: never inside
// the wait, and never refused as busy.
TEST(IdleActions, AnActionAskedDuringAWaitRunsAfterItAndIsNotRefused) {
    Rig r;
    int ran = 0;
    r.link.RunWhenIdle([&] { ++ran; });
    EXPECT_EQ(ran, 1) << "with no exchange waiting it runs at once";

    std::vector<int> statuses;
    r.tcp.onSend = [&](const Bytes& frame) {  // every reply comes a few passes later
        const std::string data = testing::CommandOf(frame) == "V" ? "0 1" : "ok";
        r.pump.At(r.pump.Passes() + 3, [&, data] { r.tcp.Deliver(BuildReplyFrame('A', data)); });
    };
    r.pump.At(r.pump.Passes() + 1, [&] {
        r.link.RunWhenIdle([&] {
            r.link.SendCommand("XSTART");
            statuses.push_back(r.link.CommStatus());
        });
    });
    EXPECT_EQ(r.link.SendCommand("V"), "0 1");
    EXPECT_TRUE(statuses.empty()) << "not inside the wait";
    // The next exchange of the same sequence: its wait is no place for it either.
    r.link.SendCommand("K2");
    r.pump.RunPosted();  // back in the event loop
    EXPECT_EQ(statuses, std::vector<int>{kOk});
}

TEST(SerialPortControl, OpenMakesATrialOpenThenOpensAtTheTableRate) {
    Rig r;
    EXPECT_FALSE(r.link.OpenSerialPort(0, 0));
    EXPECT_FALSE(r.link.OpenSerialPort(10, 0));
    EXPECT_TRUE(r.serial.calls.empty());  // ports outside 1..9 change nothing
    EXPECT_TRUE(r.link.OpenSerialPort(3, 1));
    EXPECT_EQ(r.serial.calls, (Calls{"open", "close", "port 3", "open", "close", "baud 38400",
                                     "buffer 2048", "open"}));
    EXPECT_FALSE(r.link.OpenSerialPort(1, 4));  // an unused rate
    EXPECT_FALSE(r.serial.open);
    r.serial.openFails = true;
    EXPECT_FALSE(r.link.OpenSerialPort(1, 0));
    EXPECT_FALSE(r.link.CloseSerialPort());
}

TEST(TcpConnect, WaitsUpToOneSecondForTheConnection) {
    Rig r;
    r.link.Settings().EAddress = "127.0.0.1";
    r.link.Settings().EPort = "2102";
    r.tcp.stateAfterConnect = 6;  // connecting, never completes
    auto start = r.clock.Now();
    EXPECT_FALSE(r.link.OpenSelectedPort());
    EXPECT_GE(r.clock.Now() - start, kTcpConnectWait);
    EXPECT_EQ(r.tcp.host + ":" + std::to_string(r.tcp.port), "127.0.0.1:2102");
    r.pump.At(r.pump.Passes() + 3, [&] { r.tcp.state = TcpSocket::kConnected; });
    EXPECT_TRUE(r.link.OpenSelectedPort());

    // A refused connection closes the socket: no need to wait out the second.
    r.tcp.stateAfterConnect = 0;
    start = r.clock.Now();
    EXPECT_FALSE(r.link.OpenSelectedPort());
    EXPECT_LT(r.clock.Now() - start, std::chrono::milliseconds(10));
}

}  // namespace
}  // namespace delvar::link
