#include <gtest/gtest.h>

#include "sim/OutgoingQueue.h"

namespace delvar::sim {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

TEST(SimLinePacer, BytesCrossAtTenBitsEachOneAfterTheOther) {
    LinePacer line(10000);  // 1 ms a byte
    const SimTime ready = milliseconds(5);
    EXPECT_EQ(line.Crossed(ready, ready, 10), 0u);
    EXPECT_EQ(line.NextCrossing(ready), milliseconds(6));
    EXPECT_EQ(line.Crossed(ready, milliseconds(7) + microseconds(500), 10), 2u);
    // A late look hands over what crossed meanwhile, counted from the line, not the look.
    EXPECT_EQ(line.Crossed(ready, milliseconds(12), 10), 5u);
    EXPECT_EQ(line.NextCrossing(ready), milliseconds(13));
    // The other direction: a command of 4 bytes sent at 20 ms is all there at 24 ms,
    // one sent behind it only after that.
    LinePacer in(10000);
    EXPECT_EQ(in.Send(milliseconds(20), 4), milliseconds(24));
    EXPECT_EQ(in.Send(milliseconds(21), 2), milliseconds(26));
    // Unpaced, everything crosses at once.
    LinePacer off;
    EXPECT_FALSE(off.Paced());
    EXPECT_EQ(off.Crossed(ready, ready, 10), 10u);
}

}  // namespace
}  // namespace delvar::sim
