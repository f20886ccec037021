#include <gtest/gtest.h>

#include "link/Frame.h"

namespace delvar::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Frame, WorkedExamplesAndLengthRules) {
    EXPECT_EQ(BuildCommandFrame("@", true), (Bytes{0x21, 0x23, 0x40, 0x4F, 0x37}));
    EXPECT_EQ(BuildCommandFrame("J", true), (Bytes{0x21, 0x23, 0x4A, 0x4F, 0x38}));
    EXPECT_EQ(BuildCommandFrame("@", false), (Bytes{0x21, 0x23, 0x40, 0x00, 0x00}));
    EXPECT_EQ(CheckValue(Bytes{0x23, 0x40}), 0x0AAD);
    EXPECT_EQ(BuildCommandFrame(std::string(221, 'X'), true)[1], 255);
    EXPECT_TRUE(BuildCommandFrame(std::string(222, 'X'), true).empty());
    EXPECT_TRUE(BuildCommandFrame("", true).empty());
    Bytes reply = BuildReplyFrame('A', "12.5");
    EXPECT_EQ(reply[1], 40);  // five message characters + 35
    EXPECT_EQ(FrameCheck(reply), (CheckBytes{reply[7], reply[8]}));
    EXPECT_EQ(BuildReplyFrame('A', std::string(219, 'x'))[1], 255);
    EXPECT_TRUE(BuildReplyFrame('A', std::string(220, 'x')).empty());
}

TEST(Frame, CheckBytesArePrintableAndCoverOnlyLengthAndMessage) {
    for (const char* text : {"@", "J", "V", "K1", "D7? 1 2 3", "S1 450", "U 32"}) {
        Bytes frame = BuildCommandFrame(text, true);
        for (std::size_t i : {frame.size() - 2, frame.size() - 1}) {
            EXPECT_GE(frame[i], 34) << text;
            EXPECT_LE(frame[i], 161) << text;
        }
        Bytes other = frame;
        other[0] = 0x55;  // the sync byte is not covered
        EXPECT_EQ(FrameCheck(other), FrameCheck(frame));
        other[2] ^= 0x01;  // a message byte is
        EXPECT_NE(FrameCheck(other), FrameCheck(frame)) << text;
    }
}

}  // namespace
}  // namespace delvar::link
