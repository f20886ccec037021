#include <gtest/gtest.h>

#include "link/Frame.h"

namespace delvar::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Frame, WorkedExamplesHoldByteForByte) {
    EXPECT_EQ(BuildCommandFrame("@", true), (Bytes{0x21, 0x23, 0x40, 0x4F, 0x37}));
    EXPECT_EQ(BuildCommandFrame("J", true), (Bytes{0x21, 0x23, 0x4A, 0x4F, 0x38}));
    EXPECT_EQ(BuildCommandFrame("@", false), (Bytes{0x21, 0x23, 0x40, 0x00, 0x00}));
    const Bytes check{0x23, 0x40};
    EXPECT_EQ(CheckValue(check), 0x0AAD);
}

TEST(Frame, LengthByteFollowsTheCommandRule) {
    std::string longest(221, 'X');
    Bytes frame = BuildCommandFrame(longest, true);
    ASSERT_EQ(frame.size(), 225u);
    EXPECT_EQ(frame[1], 255);
    EXPECT_TRUE(BuildCommandFrame(std::string(222, 'X'), true).empty());
    EXPECT_TRUE(BuildCommandFrame("", true).empty());
    EXPECT_EQ(BuildCommandFrame("C5? 2", true)[1], 5 + 34);
}

TEST(Frame, CheckBytesArePrintableAndCoverOnlyLengthAndMessage) {
    for (const char* text : {"@", "J", "V", "K1", "D7? 1 2 3", "S1 450", "U 32"}) {
        Bytes frame = BuildCommandFrame(text, true);
        std::uint8_t a = frame[frame.size() - 2], b = frame[frame.size() - 1];
        EXPECT_GE(a, 34);
        EXPECT_LE(a, 161);
        EXPECT_GE(b, 34);
        EXPECT_LE(b, 161);
        // The sync byte is not covered: changing it leaves the check as it was.
        Bytes other = frame;
        other[0] = 0x55;
        EXPECT_EQ(FrameCheck(other), FrameCheck(frame));
        // A message byte is covered.
        other[2] ^= 0x01;
        EXPECT_NE(FrameCheck(other), FrameCheck(frame)) << text;
    }
}

TEST(Frame, ReplyFrameUsesTheReplyLengthRule) {
    Bytes frame = BuildReplyFrame('A', "12.5");
    ASSERT_EQ(frame.size(), 9u);
    EXPECT_EQ(frame[1], 40);  // five message characters + 35
    EXPECT_EQ(frame[2], 'A');
    CheckBytes check = FrameCheck(frame);
    EXPECT_EQ(check.first, frame[7]);
    EXPECT_EQ(check.second, frame[8]);
    EXPECT_TRUE(BuildReplyFrame('A', std::string(220, 'x')).empty());
    EXPECT_EQ(BuildReplyFrame('A', std::string(219, 'x'))[1], 255);
}

TEST(Frame, StatusTexts) {
    EXPECT_EQ(StatusText(0), "");
    EXPECT_EQ(StatusText(1), "Timeout");
    EXPECT_EQ(StatusText(2), "No Data");
    EXPECT_EQ(StatusText(3), "Not Ready");
    EXPECT_EQ(StatusText(4), "Bad Command");
    EXPECT_EQ(StatusText(5), "Bad Data");
    EXPECT_EQ(StatusText(6), "Bad Mode");
    EXPECT_EQ(StatusText(7), "Receive CRC Error");
    EXPECT_EQ(StatusText(8), "Port Not Ready");
    EXPECT_EQ(StatusText(9), "Instrument Busy");
    EXPECT_EQ(StatusText(10), "Unknown Error");
    EXPECT_EQ(StatusText(11), "Transmit CRC Error");
    EXPECT_EQ(StatusText(12), "Message Too Long");
    EXPECT_EQ(StatusText(95), "4 Channels Required");
    EXPECT_EQ(StatusText(96), "CoDep Required");
    EXPECT_EQ(StatusText(13), "Unknown Error");
    EXPECT_EQ(StatusText(-1), "Unknown Error");
}

}  // namespace
}  // namespace delvar::link
