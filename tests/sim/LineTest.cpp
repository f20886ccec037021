// The simulator's side of the line: command frames in, faults applied to replies,
// reply bytes paced out.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "link/Frame.h"
#include "sim/FaultInjector.h"
#include "sim/FrameDecoder.h"
#include "sim/OutgoingQueue.h"

namespace delvar::sim {

// Readable failure messages.
void PrintTo(const DecodedCommand& command, std::ostream* os) {
    *os << '"' << command.text << "\" " << (command.checkOk ? "ok" : "bad check");
}

namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

using Commands = std::vector<DecodedCommand>;

const Bytes kVersionQuery{0x21, 0x23, 0x40, 0x4F, 0x37};  // "@" with its check bytes

Commands Decode(Bytes bytes, const Bytes& then = {}) {
    bytes.insert(bytes.end(), then.begin(), then.end());
    return FrameDecoder().Feed(bytes);
}

TEST(SimFrameDecoder, ChecksumOffFramesPassAndWrongCheckBytesAreReportedNotDropped) {
    for (const std::string& text : {std::string("V"), std::string(link::kMaxCommandLength, 'K')}) {
        for (bool checked : {false, true})
            EXPECT_EQ(Decode(link::BuildCommandFrame(text, checked)), (Commands{{text, true}}));
    }
    // Only both bytes zero means "checksums off"; one zero is damage, as is a changed
    // check byte or message character.
    for (auto [at, value] : {std::pair{4, 0x37}, {4, 0x38}, {4, 0x00}, {3, 0x00}, {2, 'A'}}) {
        Bytes frame = kVersionQuery;
        frame[std::size_t(at)] = std::uint8_t(value);
        EXPECT_EQ(Decode(frame), (Commands{{at == 2 ? "A" : "@", value == 0x37}})) << at << value;
    }
}

TEST(SimFrameDecoder, EverySyncRestartsAFrameAndImpossibleLengthsAreSkipped) {
    const Commands version{{"@", true}};
    EXPECT_EQ(Decode({0x00, 0x23, 0x40, 0x4F, 0x37, 'x'}, kVersionQuery), version)
        << "a would-be frame without its sync byte";
    EXPECT_EQ(Decode({0x21, 0x25, 'J', 'J'}, kVersionQuery), version) << "sync inside a frame";
    EXPECT_EQ(Decode({0x21}, kVersionQuery), version) << "sync where the length belongs";
    EXPECT_EQ(Decode({0x21, 200 + 34, 'A', 'B', 'C'}, kVersionQuery), version)
        << "a length that overruns the frame";
    for (int length : {0, 1, 2, 3, 20, 32, 34}) {  // 33 is the sync byte itself
        const Bytes bad{0x21, std::uint8_t(length), 0x23, 0x40, 0x4F, 0x37, 'Z'};
        EXPECT_TRUE(Decode(bad).empty()) << length;
        EXPECT_EQ(Decode(bad, kVersionQuery), version) << length;
    }
}

TEST(SimFrameDecoder, FramesSplitAnywhereAcrossFeedsDecodeInOrder) {
    Bytes stream = kVersionQuery;
    for (const Bytes& part : {Bytes{'n', 'o', 'i', 's', 'e'}, link::BuildCommandFrame("J", true),
                              link::BuildCommandFrame("K1", false)})
        stream.insert(stream.end(), part.begin(), part.end());
    const Commands expected{{"@", true}, {"J", true}, {"K1", true}};
    std::mt19937 random(7);
    for (int maxPiece : {1, 3, 6, 100}) {
        FrameDecoder decoder;
        Commands got;
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t n = std::min<std::size_t>(
                std::uniform_int_distribution<std::size_t>(1, maxPiece)(random),
                stream.size() - at);
            for (auto& c : decoder.Feed(std::span(stream).subspan(at, n))) got.push_back(c);
            at += n;
        }
        EXPECT_EQ(got, expected) << "pieces up to " << maxPiece;
    }
}

const Bytes kReply = link::BuildReplyFrame('A', "DELVAR  Ver 6.30");

Bytes Joined(const ReplyPlan& plan) {
    Bytes all;
    for (const Chunk& chunk : plan.chunks)
        all.insert(all.end(), chunk.bytes.begin(), chunk.bytes.end());
    return all;
}

// Which modes strike the next command, driven as the command handler drives it.
std::vector<FailureMode> Next(FaultInjector& faults) {
    if (faults.SilenceCommand()) return {FailureMode::Silent};
    std::vector<FailureMode> seen;
    if (faults.DamageCommand()) seen.push_back(FailureMode::Damage);
    const ReplyPlan plan = faults.Plan(kReply);
    const Bytes sent = Joined(plan);
    if (sent.size() == kReply.size() && sent != kReply) seen.push_back(FailureMode::Corrupt);
    if (sent.size() > kReply.size()) seen.push_back(FailureMode::Garbage);
    if (plan.chunks.size() > 1) seen.push_back(FailureMode::Split);
    if (plan.dropAfter) seen.push_back(FailureMode::Drop);
    return seen;
}

TEST(SimFaultInjector, EachCountedModeStrikesExactlyEveryNthAndAloneOthersNever) {
    for (const FailureModeInfo& mode : kFailureModes) {
        if (!mode.takesCount) continue;
        SCOPED_TRACE(std::string(mode.option));
        FaultOptions options;
        options[mode.mode] = 3;
        FaultInjector faults(options);
        for (int command = 1; command <= 12; ++command) {
            // Dropping happens once, after the N-th reply of the program's life.
            const bool strikes = mode.mode == FailureMode::Drop ? command == 3 : command % 3 == 0;
            EXPECT_EQ(Next(faults), strikes ? std::vector{mode.mode} : std::vector<FailureMode>{})
                << "command " << command;
        }
    }
}

TEST(SimFaultInjector, ReplyFaultsCountRepliesNotCommands) {
    FaultOptions options;
    options[FailureMode::Silent] = 2;
    options[FailureMode::Corrupt] = 2;
    FaultInjector faults(options);
    std::vector<std::vector<FailureMode>> got;
    for (int command = 1; command <= 4; ++command) got.push_back(Next(faults));
    // Commands 1 and 3 are answered; the second of those replies is corrupt.
    using V = std::vector<FailureMode>;
    EXPECT_EQ(got, (std::vector<V>{
                       {}, {FailureMode::Silent}, {FailureMode::Corrupt}, {FailureMode::Silent}}));
}

TEST(SimFaultInjector, CorruptCheckBytesStayPlausibleButWrong) {
    FaultOptions options;
    options[FailureMode::Corrupt] = 1;
    FaultInjector faults(options);
    for (const char* data : {"", "4", "DELVARC Ver 6.30"}) {
        const Bytes frame = link::BuildReplyFrame('A', data);
        const Bytes sent = Joined(faults.Plan(frame));
        ASSERT_EQ(sent.size(), frame.size());
        EXPECT_TRUE(std::equal(frame.begin(), frame.end() - 2, sent.begin()));
        const link::CheckBytes got{sent[sent.size() - 2], sent.back()};
        EXPECT_NE(got, link::FrameCheck(sent)) << data;
        EXPECT_TRUE(got.first >= 34 && got.first <= 161 && got.second >= 34 && got.second <= 161);
    }
    Bytes top = link::BuildReplyFrame('A', "4");
    top.back() = 161;
    EXPECT_EQ(Joined(faults.Plan(top)).back(), 34) << "the top value wraps to the bottom";
}

TEST(SimFaultInjector, NoiseAndSplitsLeaveTheReplyWholeAtTheEndAndFollowTheSeed) {
    FaultOptions options;
    options[FailureMode::Split] = 1;
    options[FailureMode::Garbage] = 1;
    auto run = [&](std::uint32_t seed) {
        options.seed = seed;
        FaultInjector faults(options);
        std::set<std::size_t> noiseLengths;
        std::vector<int> shape;
        for (int i = 0; i < 300; ++i) {
            // Short frames too: a status-only reply is 5 bytes.
            const Bytes frame = i % 3 == 0 ? link::BuildReplyFrame('C', "") : kReply;
            const ReplyPlan plan = faults.Plan(frame);
            const Bytes sent = Joined(plan);
            const auto noiseEnd = sent.end() - long(frame.size());
            noiseLengths.insert(std::size_t(noiseEnd - sent.begin()));
            EXPECT_TRUE(std::equal(frame.begin(), frame.end(), noiseEnd));
            EXPECT_EQ(std::find_if(sent.begin(), noiseEnd,
                                   [](std::uint8_t b) { return b == link::kSyncByte || b == 0; }),
                      noiseEnd);
            EXPECT_TRUE(plan.chunks.size() >= 2 && plan.chunks.size() <= 4);
            for (const Chunk& chunk : plan.chunks) {
                const bool first = &chunk == &plan.chunks.front();
                EXPECT_TRUE(first ? chunk.delayMs == 0 : chunk.delayMs >= 1 && chunk.delayMs <= 5);
                EXPECT_FALSE(chunk.bytes.empty());
                shape.push_back(int(chunk.bytes.size()) * 8 + chunk.delayMs);
            }
        }
        EXPECT_EQ(noiseLengths, (std::set<std::size_t>{1, 2, 3, 4, 5, 6, 7, 8}));
        return shape;
    };
    EXPECT_EQ(run(7), run(7));
    EXPECT_NE(run(7), run(8));
}

// Writes everything due at now, as a connection with room to spare would.
Bytes Drain(OutgoingQueue& queue, SimTime now) {
    Bytes out;
    for (auto due = queue.Due(now); !due.empty(); due = queue.Due(now)) {
        out.insert(out.end(), due.begin(), due.end());
        EXPECT_FALSE(queue.Sent(due.size())) << "no drop was asked for";
    }
    return out;
}

TEST(SimOutgoingQueue, ChunksComeDueAfterTheirPausesAndLaterRepliesWaitBehind) {
    SimClock clock;
    clock.Advance(milliseconds(100));
    clock.AdvanceTo(milliseconds(50));  // the simulator's clock never runs back
    const SimTime t0 = clock.Now();
    ASSERT_EQ(t0, milliseconds(100));
    OutgoingQueue queue;
    queue.Schedule({{{{1, 2}, 0}, {{3}, 3}, {{4, 5}, 2}}}, t0);
    queue.Schedule({{{{6}, 0}, {{7}, 2}}}, t0 + milliseconds(1));  // keeps its own pauses
    EXPECT_EQ(queue.PendingBytes(), 7u);
    EXPECT_EQ(Drain(queue, t0), (Bytes{1, 2}));
    EXPECT_EQ(queue.NextDue(), t0 + milliseconds(3));
    EXPECT_TRUE(Drain(queue, t0 + milliseconds(2)).empty());
    EXPECT_EQ(Drain(queue, t0 + milliseconds(3)), (Bytes{3}));
    EXPECT_EQ(Drain(queue, t0 + milliseconds(5)), (Bytes{4, 5, 6}));
    EXPECT_TRUE(Drain(queue, t0 + milliseconds(6)).empty());
    EXPECT_EQ(Drain(queue, t0 + milliseconds(50)), (Bytes{7}));  // late: goes at once
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(queue.PendingBytes(), 0u);
    EXPECT_FALSE(queue.NextDue());
}

TEST(SimOutgoingQueue, PartialWritesResumeAndDropComesOnlyAfterTheWholeReply) {
    OutgoingQueue queue;
    queue.Schedule({{{{1, 2, 3, 4}, 0}, {{}, 0}, {{5, 6}, 1}, {{}, 1}}, true}, SimTime{0});
    EXPECT_FALSE(queue.Sent(1));
    EXPECT_EQ(Bytes(queue.Due(SimTime{0}).begin(), queue.Due(SimTime{0}).end()), (Bytes{2, 3, 4}));
    EXPECT_EQ(queue.PendingBytes(), 5u);
    EXPECT_FALSE(queue.Sent(10));  // more than is left counts as the rest
    EXPECT_TRUE(queue.Due(SimTime{0}).empty());
    EXPECT_EQ(queue.Due(milliseconds(1)).size(), 2u) << "empty chunks block nothing";
    EXPECT_FALSE(queue.Sent(1));
    EXPECT_TRUE(queue.Sent(1)) << "the drop comes once the whole reply is out";
    EXPECT_TRUE(queue.Empty());
    EXPECT_FALSE(queue.Sent(1));  // nothing queued: harmless
    queue.Schedule({{{{1, 2}, 0}, {{3}, 4}}}, SimTime{0});
    queue.Clear();
    EXPECT_TRUE(queue.Empty() && queue.PendingBytes() == 0 && queue.Due(milliseconds(9)).empty());
}

}  // namespace
}  // namespace delvar::sim
