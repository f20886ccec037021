#include <gtest/gtest.h>

#include "link/Frame.h"
#include "link/Link.h"
#include "support/LinkRig.h"

namespace delvar::link {
namespace {

using testing::FakeClock;
using testing::FakeSerialPort;
using testing::FakeTcpSocket;
using testing::FakeUsbXpress;
using testing::ScriptedPump;

using Rig = testing::LinkRig;

TEST(Exchange, TcpReplyIsTrimmedAndTheExchangeEnds) {
    Rig r;
    r.tcp.onSend = [&](const Bytes&) {
        r.pump.At(r.pump.Passes() + 2, [&] { r.tcp.Deliver(BuildReplyFrame('A', " 12.5 ")); });
    };
    EXPECT_EQ(r.link.SendCommand("K1"), "12.5");
    EXPECT_EQ(r.link.CommStatus(), kOk);
    EXPECT_EQ(r.link.Exchange().LastCommand, "");
    ASSERT_EQ(r.tcp.sent.size(), 1u);
    EXPECT_EQ(r.tcp.sent[0], BuildCommandFrame("K1", true));
    EXPECT_EQ(r.link.Exchange().TxText,
              std::string("!$K1") + char(r.tcp.sent[0][4]) + char(r.tcp.sent[0][5]));
}

TEST(Exchange, TcpReplyInSeveralChunksIsAssembled) {
    Rig r;
    Bytes reply = BuildReplyFrame('A', "1 2 3 4 5 6 7 8");
    r.tcp.onSend = [&](const Bytes&) {
        int base = r.pump.Passes();
        for (std::size_t i = 0; i < reply.size(); i += 3) {
            Bytes chunk(reply.begin() + i, reply.begin() + std::min(reply.size(), i + 3));
            r.pump.At(base + 1 + static_cast<int>(i), [&, chunk] { r.tcp.Deliver(chunk); });
        }
    };
    EXPECT_EQ(r.link.SendCommand("D7? 1"), "1 2 3 4 5 6 7 8");
    EXPECT_EQ(r.link.CommStatus(), kOk);
    EXPECT_GT(r.tcp.reads, 1);
}

TEST(Exchange, SilenceTimesOutAfterTwoSecondsAndTheWaitSleeps) {
    Rig r;
    const auto start = r.clock.Now();
    EXPECT_EQ(r.link.SendCommand("V"), "");
    EXPECT_EQ(r.link.CommStatus(), kTimeout);
    auto waited = r.clock.Now() - start;
    EXPECT_GT(waited, kReplyBudget);
    EXPECT_LT(waited, kReplyBudget + std::chrono::milliseconds(5));
    // After the first pass found nothing, every pass may sleep until an event.
    EXPECT_GE(r.pump.SleepingPasses(), r.pump.Passes() - 1);
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
    // A trailing byte inside the same exchange is still judged again (code 7).
    r.tcp.onSend = [&](const Bytes&) {
        Bytes reply = BuildReplyFrame('A', "x");
        reply.push_back('z');
        r.tcp.Deliver(reply);
    };
    EXPECT_EQ(r.link.SendCommand("K1"), "");
    EXPECT_EQ(r.link.CommStatus(), kReceiveCrcError);
}

TEST(Exchange, NotConnectedSocketSendsNothingAndTimesOut) {
    Rig r;
    r.tcp.state = 0;
    EXPECT_EQ(r.link.SendCommand("V"), "");
    EXPECT_EQ(r.link.CommStatus(), kTimeout);
    EXPECT_TRUE(r.tcp.sent.empty());
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

TEST(Exchange, OverlongCommandIsRefusedWithoutSendingOrBlocking) {
    Rig r;
    EXPECT_EQ(r.link.SendCommand(std::string(222, 'X')), "");
    EXPECT_EQ(r.link.CommStatus(), kMessageTooLong);
    EXPECT_TRUE(r.tcp.sent.empty());
    EXPECT_EQ(r.pump.Passes(), 0);
    // 221 characters go out, and the link is not left busy.
    r.tcp.onSend = [&](const Bytes&) { r.tcp.Deliver(BuildReplyFrame('A', "")); };
    r.link.SendCommand(std::string(221, 'X'));
    EXPECT_EQ(r.link.CommStatus(), kOk);
    ASSERT_EQ(r.tcp.sent.size(), 1u);
    EXPECT_EQ(r.tcp.sent[0].size(), 225u);
}

TEST(Exchange, BadDataStillReturnsTextOtherStatusesDoNot) {
    Rig r;
    char status = 'D';
    r.tcp.onSend = [&](const Bytes&) { r.tcp.Deliver(BuildReplyFrame(status, "42")); };
    EXPECT_EQ(r.link.SendCommand("C5 3,12"), "42");
    EXPECT_EQ(r.link.CommStatus(), kBadData);
    status = 'E';
    EXPECT_EQ(r.link.SendCommand("C5 3,12"), "");
    EXPECT_EQ(r.link.CommStatus(), kBadMode);
    status = 'F';
    EXPECT_EQ(r.link.SendCommand("C5 3,12"), "");
    EXPECT_EQ(r.link.CommStatus(), kTransmitCrcError);
}

TEST(Exchange, ChecksumOffSendsZeroCheckBytes) {
    Rig r;
    r.link.Settings().CheckSum = 0;
    r.tcp.onSend = [&](const Bytes&) { r.tcp.Deliver(BuildReplyFrame('A', "DELVAR  Ver 6.30")); };
    EXPECT_EQ(r.link.SendCommand("@"), "DELVAR  Ver 6.30");
    EXPECT_EQ(r.tcp.sent[0], (Bytes{0x21, 0x23, 0x40, 0x00, 0x00}));
    EXPECT_EQ(r.link.Info().VersionText, "DELVAR  Ver 6.30");
}

TEST(Exchange, SerialDiscardsInputWritesAndReadsOneBytePerPass) {
    Rig r;
    r.link.Settings().Type = kPortRs232;
    r.serial.open = true;
    r.serial.Deliver({'s', 't', 'a', 'l', 'e'});
    Bytes reply = BuildReplyFrame('A', "7");
    r.serial.onWrite = [&](const Bytes&) { r.serial.Deliver(reply); };
    EXPECT_EQ(r.link.SendCommand("J"), "7");
    EXPECT_EQ(r.link.CommStatus(), kOk);
    EXPECT_EQ(r.serial.calls.back(), "discard");
    EXPECT_GE(r.pump.Passes(), static_cast<int>(reply.size()));
    // No pass slept while bytes were waiting.
    EXPECT_LE(r.pump.SleepingPasses(), 1);
}

TEST(Exchange, SerialPortErrorEndsTheExchangeWithTimeout) {
    Rig r;
    r.link.Settings().Type = kPortRs232;
    r.serial.open = true;
    r.serial.readFails = true;
    const auto start = r.clock.Now();
    EXPECT_EQ(r.link.SendCommand("V"), "");
    EXPECT_EQ(r.link.CommStatus(), kTimeout);
    EXPECT_LT(r.clock.Now() - start, std::chrono::milliseconds(100));
    r.serial.readFails = false;
    r.serial.onWrite = [&](const Bytes&) { r.serial.Deliver(BuildReplyFrame('A', "ok")); };
    EXPECT_EQ(r.link.SendCommand("V"), "ok");  // later exchanges are not refused as busy
}

TEST(Exchange, SerialPortNotOpenTimesOut) {
    Rig r;
    r.link.Settings().Type = kPortRs232;
    EXPECT_EQ(r.link.SendCommand("V"), "");
    EXPECT_EQ(r.link.CommStatus(), kTimeout);
    EXPECT_TRUE(r.serial.written.empty());
}

TEST(Exchange, UnknownPortTypeSendsNothing) {
    Rig r;
    r.link.Settings().Type = 7;
    r.link.SendCommand("V");
    EXPECT_EQ(r.link.CommStatus(), kTimeout);
    EXPECT_TRUE(r.tcp.sent.empty());
    EXPECT_TRUE(r.serial.written.empty());
}

TEST(Exchange, UsbReplyIsReadThroughTheBridge) {
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
    std::string h = "h" + std::to_string(handle);
    const std::vector<std::string> expected = {
        "SI_FlushBuffers(" + h + ",1,1)", "SI_Write(" + h + ",5)", "SI_CheckRXQueue(" + h + ")",
        "SI_Read(" + h + ",252)"};
    EXPECT_EQ(r.usb.Calls(), expected);
}

TEST(Exchange, UsbWriteFailureClosesTheHandleAndTimesOut) {
    Rig r;
    r.link.Settings().Type = kPortUsb;
    auto device = r.usb.AddDevice("DV001", "8292");
    std::int32_t handle = 0;
    ASSERT_EQ(r.link.UsbWrappers().UsbOpen(device, handle), 0);
    r.link.Usb().UsbHandle = handle;
    r.usb.ForceResult("SI_Write", UsbXpress::kWriteError);
    EXPECT_EQ(r.link.SendCommand("J"), "");
    EXPECT_EQ(r.link.CommStatus(), kTimeout);
    EXPECT_EQ(r.usb.DeviceOf(handle), -1);
    EXPECT_EQ(r.link.Usb().UsbHandle, handle);  // the handle variable keeps its value
    r.link.SendCommand("J");
    EXPECT_EQ(r.link.CommStatus(), kTimeout);  // and later exchanges keep timing out
}

TEST(SerialPortControl, PortsOutsideOneToNineChangeNothing) {
    Rig r;
    EXPECT_FALSE(r.link.OpenSerialPort(0, 0));
    EXPECT_FALSE(r.link.OpenSerialPort(10, 0));
    EXPECT_TRUE(r.serial.calls.empty());
}

TEST(SerialPortControl, OpenMakesATrialOpenThenOpensAtTheTableRate) {
    Rig r;
    EXPECT_TRUE(r.link.OpenSerialPort(3, 1));
    const std::vector<std::string> expected = {"open",  "close",      "port 3",      "open",
                                               "close", "baud 38400", "buffer 2048", "open"};
    EXPECT_EQ(r.serial.calls, expected);
    EXPECT_TRUE(r.serial.open);
}

TEST(SerialPortControl, UnusedRateIndexOrMissingDeviceFails) {
    Rig r;
    EXPECT_FALSE(r.link.OpenSerialPort(1, 4));
    EXPECT_FALSE(r.serial.open);
    EXPECT_FALSE(r.link.OpenSerialPort(1, 10));
    r.serial.openFails = true;
    EXPECT_FALSE(r.link.OpenSerialPort(1, 0));
    EXPECT_FALSE(r.link.CloseSerialPort());
}

TEST(TcpConnect, WaitsUpToOneSecondForTheConnection) {
    Rig r;
    r.link.Settings().EAddress = "127.0.0.1";
    r.link.Settings().EPort = "2102";
    r.tcp.stateAfterConnect = 6;  // connecting, never completes
    const auto start = r.clock.Now();
    EXPECT_FALSE(r.link.OpenSelectedPort());
    EXPECT_GE(r.clock.Now() - start, kTcpConnectWait);
    EXPECT_EQ(r.tcp.host, "127.0.0.1");
    EXPECT_EQ(r.tcp.port, 2102);

    r.tcp.stateAfterConnect = 6;
    r.pump.At(r.pump.Passes() + 3, [&] { r.tcp.state = TcpSocket::kConnected; });
    EXPECT_TRUE(r.link.OpenSelectedPort());

    // A refused connection closes the socket: no need to wait out the second.
    r.tcp.stateAfterConnect = 0;
    const auto refused = r.clock.Now();
    EXPECT_FALSE(r.link.OpenSelectedPort());
    EXPECT_LT(r.clock.Now() - refused, std::chrono::milliseconds(10));
}

}  // namespace
}  // namespace delvar::link
