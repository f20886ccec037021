#include <gtest/gtest.h>

#include "sim/OutgoingQueue.h"

namespace delvar::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

Bytes ToBytes(std::span<const std::uint8_t> span) {
    return Bytes(span.begin(), span.end());
}

ReplyPlan Plan(std::vector<Chunk> chunks, bool dropAfter = false) {
    return ReplyPlan{std::move(chunks), dropAfter};
}

// Writes everything due at now, as a connection with room to spare would.
Bytes Drain(OutgoingQueue& queue, SimTime now, bool* dropped = nullptr) {
    Bytes out;
    for (auto due = queue.Due(now); !due.empty(); due = queue.Due(now)) {
        out.insert(out.end(), due.begin(), due.end());
        const bool drop = queue.Sent(due.size());
        if (dropped) *dropped = *dropped || drop;
    }
    return out;
}

TEST(SimOutgoingQueue, ChunksComeDueAfterTheirPauses) {
    SimClock clock;
    clock.Advance(milliseconds(100));
    OutgoingQueue queue;
    queue.Schedule(Plan({{{1, 2}, 0}, {{3}, 3}, {{4, 5}, 2}}), clock.Now());
    EXPECT_EQ(queue.PendingBytes(), 5u);
    EXPECT_EQ(Drain(queue, clock.Now()), (Bytes{1, 2}));
    EXPECT_EQ(queue.NextDue(), clock.Now() + milliseconds(3));
    clock.Advance(milliseconds(2));
    EXPECT_TRUE(Drain(queue, clock.Now()).empty());
    clock.Advance(milliseconds(1));
    EXPECT_EQ(Drain(queue, clock.Now()), (Bytes{3}));
    clock.Advance(milliseconds(10));  // late: the rest goes at once
    EXPECT_EQ(Drain(queue, clock.Now()), (Bytes{4, 5}));
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(queue.PendingBytes(), 0u);
    EXPECT_FALSE(queue.NextDue());
}

TEST(SimOutgoingQueue, PartialWritesResumeWhereTheyStopped) {
    OutgoingQueue queue;
    queue.Schedule(Plan({{{1, 2, 3, 4}, 0}}), SimTime{0});
    EXPECT_FALSE(queue.Sent(1));
    EXPECT_EQ(ToBytes(queue.Due(SimTime{0})), (Bytes{2, 3, 4}));
    EXPECT_EQ(queue.PendingBytes(), 3u);
    EXPECT_FALSE(queue.Sent(10));  // more than is left counts as the rest
    EXPECT_TRUE(queue.Empty());
    EXPECT_FALSE(queue.Sent(1));  // nothing queued: harmless
}

TEST(SimOutgoingQueue, ALaterReplyWaitsBehindAndKeepsItsOwnPauses) {
    OutgoingQueue queue;
    queue.Schedule(Plan({{{1}, 0}, {{2}, 5}}), SimTime{0});
    queue.Schedule(Plan({{{3}, 0}, {{4}, 2}}), milliseconds(1));
    EXPECT_EQ(Drain(queue, milliseconds(1)), (Bytes{1}));
    EXPECT_EQ(Drain(queue, milliseconds(5)), (Bytes{2, 3}));
    EXPECT_TRUE(Drain(queue, milliseconds(6)).empty());
    EXPECT_EQ(Drain(queue, milliseconds(7)), (Bytes{4}));
}

TEST(SimOutgoingQueue, DropIsSignalledOnlyOnceTheWholeReplyIsOut) {
    OutgoingQueue queue;
    queue.Schedule(Plan({{{1, 2}, 0}, {{3, 4}, 1}}, true), SimTime{0});
    bool dropped = false;
    EXPECT_EQ(Drain(queue, SimTime{0}, &dropped), (Bytes{1, 2}));
    EXPECT_FALSE(dropped);
    EXPECT_FALSE(queue.Sent(1));
    EXPECT_TRUE(queue.Sent(1));
}

TEST(SimOutgoingQueue, EmptyChunksNeverBlockTheQueue) {
    OutgoingQueue queue;
    queue.Schedule(Plan({{{}, 0}, {{7}, 1}, {{}, 1}}, true), SimTime{0});
    bool dropped = false;
    EXPECT_EQ(Drain(queue, milliseconds(1), &dropped), (Bytes{7}));
    EXPECT_TRUE(dropped);
    EXPECT_TRUE(queue.Empty());
}

TEST(SimOutgoingQueue, ClearForgetsEverything) {
    OutgoingQueue queue;
    queue.Schedule(Plan({{{1, 2}, 0}, {{3}, 4}}), SimTime{0});
    queue.Clear();
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(queue.PendingBytes(), 0u);
    EXPECT_TRUE(queue.Due(milliseconds(10)).empty());
}

TEST(SimClock, OnlyMovesForward) {
    SimClock clock;
    clock.AdvanceTo(milliseconds(5));
    clock.AdvanceTo(milliseconds(3));
    clock.Advance(milliseconds(-2));
    EXPECT_EQ(clock.Now(), milliseconds(5));
    clock.Advance(milliseconds(2));
    EXPECT_EQ(clock.Now(), milliseconds(7));
}

}  // namespace
}  // namespace delvar::sim
