#include <gtest/gtest.h>

#include <algorithm>

#include "link/Frame.h"
#include "sim/FaultInjector.h"

namespace delvar::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kReply = link::BuildReplyFrame('A', "DELVAR  Ver 6.30");

Bytes Joined(const ReplyPlan& plan) {
    Bytes all;
    for (const Chunk& chunk : plan.chunks)
        all.insert(all.end(), chunk.bytes.begin(), chunk.bytes.end());
    return all;
}

// One command through the injector, as the command handler drives it.
struct Outcome {
    bool silent = false;
    bool damaged = false;
    ReplyPlan plan;
};

Outcome Next(FaultInjector& faults, const Bytes& frame = kReply) {
    Outcome outcome;
    outcome.silent = faults.SilenceCommand();
    if (outcome.silent) return outcome;
    outcome.damaged = faults.DamageCommand();
    outcome.plan = faults.Plan(frame);
    return outcome;
}

// Whether the outcome shows the effect of mode on kReply.
bool Shows(FailureMode mode, const Outcome& outcome) {
    const Bytes sent = Joined(outcome.plan);
    switch (mode) {
        case FailureMode::Silent:
            return outcome.silent;
        case FailureMode::Damage:
            return outcome.damaged;
        case FailureMode::Corrupt:
            return sent.size() == kReply.size() && sent != kReply;
        case FailureMode::Garbage:
            return sent.size() > kReply.size();
        case FailureMode::Split:
            return outcome.plan.chunks.size() > 1;
        case FailureMode::Drop:
            return outcome.plan.dropAfter;
    }
    return false;
}

TEST(SimFaultInjector, WithoutFaultsEveryReplyGoesOutWholeAndUntouched) {
    FaultInjector faults({});
    for (int i = 0; i < 20; ++i) {
        const Outcome outcome = Next(faults);
        for (const FailureModeInfo& mode : kFailureModes) EXPECT_FALSE(Shows(mode.mode, outcome));
        ASSERT_EQ(outcome.plan.chunks.size(), 1u);
        EXPECT_EQ(outcome.plan.chunks[0].bytes, kReply);
        EXPECT_EQ(outcome.plan.chunks[0].delayMs, 0);
    }
}

TEST(SimFaultInjector, EachCountedModeStrikesExactlyEveryNth) {
    for (const FailureModeInfo& mode : kFailureModes) {
        if (!mode.takesCount) continue;
        SCOPED_TRACE(std::string(mode.option));
        FaultOptions options;
        options[mode.mode] = 3;
        FaultInjector faults(options);
        for (int command = 1; command <= 12; ++command) {
            const Outcome outcome = Next(faults);
            // Dropping happens once, after the N-th reply of the program's life.
            const bool expected = mode.mode == FailureMode::Drop ? command == 3 : command % 3 == 0;
            EXPECT_EQ(Shows(mode.mode, outcome), expected) << "command " << command;
            for (const FailureModeInfo& other : kFailureModes) {
                if (other.mode != mode.mode) {
                    EXPECT_FALSE(Shows(other.mode, outcome));
                }
            }
        }
    }
}

TEST(SimFaultInjector, ReplyFaultsCountRepliesNotCommands) {
    FaultOptions options;
    options[FailureMode::Silent] = 2;
    options[FailureMode::Corrupt] = 2;
    FaultInjector faults(options);
    std::vector<int> corrupted;
    for (int command = 1; command <= 8; ++command) {
        const Outcome outcome = Next(faults);
        EXPECT_EQ(outcome.silent, command % 2 == 0);
        if (Shows(FailureMode::Corrupt, outcome)) corrupted.push_back(command);
    }
    // Commands 1, 3, 5, 7 are answered; the 2nd and 4th of those replies are corrupt.
    EXPECT_EQ(corrupted, (std::vector<int>{3, 7}));
}

TEST(SimFaultInjector, CorruptCheckBytesStayPlausibleButWrong) {
    FaultOptions options;
    options[FailureMode::Corrupt] = 1;
    FaultInjector faults(options);
    for (const char* data : {"", "4", "DELVARC Ver 6.30", "12.5", "0,0,0,0"}) {
        const Bytes frame = link::BuildReplyFrame('A', data);
        const Bytes sent = Joined(faults.Plan(frame));
        ASSERT_EQ(sent.size(), frame.size());
        EXPECT_TRUE(std::equal(frame.begin(), frame.end() - 2, sent.begin()));
        const link::CheckBytes got{sent[sent.size() - 2], sent.back()};
        EXPECT_NE(got, link::FrameCheck(sent)) << data;
        for (std::uint8_t b : {got.first, got.second}) {
            EXPECT_GE(b, 34);
            EXPECT_LE(b, 161);
        }
    }
    // The top check byte value wraps to the bottom of the range, not past 161.
    Bytes top = link::BuildReplyFrame('A', "4");
    ASSERT_EQ(top.size(), 6u);
    top[5] = 161;
    EXPECT_EQ(Joined(faults.Plan(top)).back(), 34);
}

TEST(SimFaultInjector, NoiseIsOneToEightBytesWithoutSyncOrZeroBeforeTheIntactReply) {
    FaultOptions options;
    options[FailureMode::Garbage] = 1;
    for (std::uint32_t seed : {1u, 2u, 99u}) {
        options.seed = seed;
        FaultInjector faults(options);
        std::vector<bool> lengthSeen(9, false);
        for (int i = 0; i < 300; ++i) {
            const Bytes sent = Joined(faults.Plan(kReply));
            ASSERT_GT(sent.size(), kReply.size());
            const std::size_t noise = sent.size() - kReply.size();
            ASSERT_LE(noise, 8u);
            lengthSeen[noise] = true;
            EXPECT_TRUE(std::equal(kReply.begin(), kReply.end(), sent.begin() + long(noise)));
            for (std::size_t k = 0; k < noise; ++k) {
                EXPECT_NE(sent[k], link::kSyncByte);
                EXPECT_NE(sent[k], 0x00);
            }
        }
        EXPECT_EQ(std::count(lengthSeen.begin() + 1, lengthSeen.end(), true), 8);
    }
}

TEST(SimFaultInjector, SplitChunksCoverTheReplyExactlyOnceInOrder) {
    FaultOptions options;
    options[FailureMode::Split] = 1;
    options[FailureMode::Garbage] = 2;
    for (std::uint32_t seed : {1u, 5u, 1234u}) {
        options.seed = seed;
        FaultInjector faults(options);
        for (int i = 0; i < 200; ++i) {
            // Short frames too: a status-only reply is 5 bytes.
            const Bytes frame = i % 3 == 0 ? link::BuildReplyFrame('C', "") : kReply;
            const ReplyPlan plan = faults.Plan(frame);
            ASSERT_GE(plan.chunks.size(), 2u);
            ASSERT_LE(plan.chunks.size(), 4u);
            EXPECT_EQ(plan.chunks.front().delayMs, 0);
            for (std::size_t k = 0; k < plan.chunks.size(); ++k) {
                EXPECT_FALSE(plan.chunks[k].bytes.empty());
                if (k > 0) {
                    EXPECT_GE(plan.chunks[k].delayMs, 1);
                    EXPECT_LE(plan.chunks[k].delayMs, 5);
                }
            }
            const Bytes sent = Joined(plan);
            // Noise (every 2nd reply) comes first; the frame follows whole.
            ASSERT_GE(sent.size(), frame.size());
            EXPECT_TRUE(std::equal(frame.begin(), frame.end(),
                                   sent.begin() + long(sent.size() - frame.size())));
            if (i % 2 == 0) {
                EXPECT_EQ(sent.size(), frame.size());
            }
        }
    }
}

TEST(SimFaultInjector, TheScheduleIsFixedBySeed) {
    FaultOptions options;
    options[FailureMode::Split] = 1;
    options[FailureMode::Garbage] = 1;
    auto schedule = [&](std::uint32_t seed) {
        options.seed = seed;
        FaultInjector faults(options);
        std::vector<std::pair<Bytes, std::vector<int>>> out;
        for (int i = 0; i < 40; ++i) {
            const ReplyPlan plan = faults.Plan(kReply);
            std::vector<int> shape;
            for (const Chunk& chunk : plan.chunks) {
                shape.push_back(int(chunk.bytes.size()));
                shape.push_back(chunk.delayMs);
            }
            out.emplace_back(Joined(plan), shape);
        }
        return out;
    };
    EXPECT_EQ(schedule(7), schedule(7));
    EXPECT_NE(schedule(7), schedule(8));
}

}  // namespace
}  // namespace delvar::sim
