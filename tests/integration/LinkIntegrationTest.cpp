// The real exchange against delvar-sim over loopback TCP and over a pseudo-terminal.
#include <gtest/gtest.h>

#include <QTimer>
#include <chrono>

#include "integration/SimLink.h"
#include "link/Frame.h"

namespace delvar::testing {
namespace {

using namespace std::chrono;
using link::kOk;

class OverEachTransport : public ::testing::TestWithParam<Transport> {};

TEST_P(OverEachTransport, VersionAndChannelCount) {
    SimLink sim(GetParam(), {"--codep", "--channels", "2", "--firmware", "6.31"});
    ASSERT_TRUE(sim.Opened());
    auto& link = sim.Link();
    EXPECT_EQ(link.SendCommand("@"), "DELVARC Ver 6.31");
    EXPECT_EQ(link.CommStatus(), kOk);
    EXPECT_TRUE(link.Info().CoDep);
    EXPECT_TRUE(link.Info().Online);
    EXPECT_EQ(link.SendCommand("J"), "2");
    EXPECT_EQ(link.CommStatus(), kOk);
    EXPECT_EQ(link.SendCommand("NOPE"), "");
    EXPECT_EQ(link.CommStatus(), link::kBadCommand);
}

TEST_P(OverEachTransport, SplitRepliesAndNoiseAreAssembled) {
    SimLink sim(GetParam(), {"--split", "--garbage-every", "2", "--seed", "5"});
    ASSERT_TRUE(sim.Opened());
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(sim.Link().SendCommand("J"), "4") << i;
        EXPECT_EQ(sim.Link().CommStatus(), kOk) << i;
    }
}

TEST_P(OverEachTransport, SilenceTimesOutAfterALittleOverTwoSecondsWithoutSpinning) {
    SimLink sim(GetParam(), {"--silent-every", "2"});
    ASSERT_TRUE(sim.Opened());
    EXPECT_EQ(sim.Link().SendCommand("J"), "4");
    auto start = steady_clock::now();
    std::clock_t cpuStart = std::clock();
    EXPECT_EQ(sim.Link().SendCommand("J"), "");
    auto waited = steady_clock::now() - start;
    EXPECT_LT(double(std::clock() - cpuStart) / CLOCKS_PER_SEC, 0.5);  // a spinning wait burns 2 s
    EXPECT_EQ(sim.Link().CommStatus(), link::kTimeout);
    EXPECT_GE(waited, milliseconds(2000));
    EXPECT_LT(waited, seconds(10));  // a loose bound: it ends, however busy the machine
    EXPECT_EQ(sim.Link().SendCommand("J"), "4");  // the link recovers
}

TEST_P(OverEachTransport, CorruptReplyAndDamagedCommandGiveTheirCrcErrors) {
    for (const auto& [fault, status] : {std::pair{"--corrupt-every", link::kReceiveCrcError},
                                        std::pair{"--damage-every", link::kTransmitCrcError}}) {
        SimLink sim(GetParam(), {fault, "1"});
        ASSERT_TRUE(sim.Opened());
        EXPECT_EQ(sim.Link().SendCommand("J"), "") << fault;
        EXPECT_EQ(sim.Link().CommStatus(), status) << fault;
    }
}

// Every second reply is damaged and the connect's first "@" gets one of them: the
// version is asked for once more and the instrument is found.
TEST_P(OverEachTransport, ConnectSurvivesADamagedVersionReply) {
    for (const char* fault : {"--corrupt-every", "--damage-every"}) {
        SimLink sim(GetParam(), {fault, "2"});
        ASSERT_TRUE(sim.Opened());
        ASSERT_EQ(sim.Link().SendCommand("J"), "4") << fault;  // the first reply is sound
        EXPECT_TRUE(sim.Connect()) << fault;
        EXPECT_EQ(sim.Link().Info().VersionText, "DELVAR  Ver 6.30") << fault;
        EXPECT_EQ(sim.Link().Info().ChannelCount, 4) << fault;
    }
}

TEST_P(OverEachTransport, NestedCommandDuringTheWaitIsRefusedAndTheOuterCompletes) {
    SimLink sim(GetParam(), {"--split"});
    ASSERT_TRUE(sim.Opened());
    auto& link = sim.Link();
    std::string nestedReply = "unset";
    int nestedStatus = -1;
    QTimer::singleShot(0, [&] {
        nestedReply = link.SendCommand("@");
        nestedStatus = link.CommStatus();
    });
    EXPECT_EQ(link.SendCommand("J"), "4");
    EXPECT_EQ(link.CommStatus(), kOk);
    EXPECT_EQ(nestedReply, "");
    EXPECT_EQ(nestedStatus, link::kBusy);
    EXPECT_EQ(link.Info().VersionText, "");  // the nested "@" never went out
}

INSTANTIATE_TEST_SUITE_P(Sim, OverEachTransport, ::testing::Values(Transport::Tcp, Transport::Pty),
                         [](const auto& info) {
                             return info.param == Transport::Tcp ? "Tcp" : "Pty";
                         });

TEST(TcpLink, DroppedConnectionEndsInTimeouts) {
    SimLink sim(Transport::Tcp, {"--drop-after", "1"});
    ASSERT_TRUE(sim.Opened());
    EXPECT_EQ(sim.Link().SendCommand("J"), "4");
    auto start = steady_clock::now();
    EXPECT_EQ(sim.Link().SendCommand("J"), "");
    EXPECT_EQ(sim.Link().CommStatus(), link::kTimeout);
    EXPECT_LT(steady_clock::now() - start, seconds(10));
    EXPECT_TRUE(sim.Link().OpenSelectedPort());  // a new connection works again
    EXPECT_EQ(sim.Link().SendCommand("J"), "4");
}

}  // namespace
}  // namespace delvar::testing
