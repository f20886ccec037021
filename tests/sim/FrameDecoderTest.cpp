#include <gtest/gtest.h>

#include <random>

#include "link/Frame.h"
#include "sim/FrameDecoder.h"

namespace delvar::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kVersionQuery{0x21, 0x23, 0x40, 0x4F, 0x37};  // "@" with its check bytes

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace

// Readable failure messages.
void PrintTo(const DecodedCommand& command, std::ostream* os) {
    *os << '"' << command.text << "\" " << (command.checkOk ? "ok" : "bad check");
}

namespace {

std::vector<DecodedCommand> Decode(const Bytes& bytes) {
    FrameDecoder decoder;
    return decoder.Feed(bytes);
}

TEST(SimFrameDecoder, DecodesAGoodFrameAndChecksumOffFrames) {
    EXPECT_EQ(Decode(kVersionQuery), (std::vector<DecodedCommand>{{"@", true}}));
    EXPECT_EQ(Decode(link::BuildCommandFrame("C5? 2", false)),
              (std::vector<DecodedCommand>{{"C5? 2", true}}));
    EXPECT_EQ(Decode(link::BuildCommandFrame("S1 450", true)),
              (std::vector<DecodedCommand>{{"S1 450", true}}));
}

TEST(SimFrameDecoder, WrongCheckBytesAreReportedNotDropped) {
    Bytes frame = kVersionQuery;
    frame[4] = 0x38;
    EXPECT_EQ(Decode(frame), (std::vector<DecodedCommand>{{"@", false}}));
    // Only both bytes zero means "checksums off"; one zero is damage.
    frame = kVersionQuery;
    frame[4] = 0x00;
    EXPECT_EQ(Decode(frame), (std::vector<DecodedCommand>{{"@", false}}));
    frame = kVersionQuery;
    frame[3] = 0x00;
    EXPECT_EQ(Decode(frame), (std::vector<DecodedCommand>{{"@", false}}));
    // A damaged message character is caught by the check.
    frame = kVersionQuery;
    frame[2] = 'A';
    EXPECT_EQ(Decode(frame), (std::vector<DecodedCommand>{{"A", false}}));
}

TEST(SimFrameDecoder, IgnoresBytesBeforeSyncAndResyncsOnEverySync) {
    // Noise, including a would-be frame without its sync byte.
    EXPECT_EQ(Decode(Join({{0x00, 0x23, 0x40, 0x4F, 0x37, 'x'}, kVersionQuery})),
              (std::vector<DecodedCommand>{{"@", true}}));
    // A sync byte in the middle of a frame starts a new one.
    EXPECT_EQ(Decode(Join({{0x21, 0x25, 'J', 'J'}, kVersionQuery})),
              (std::vector<DecodedCommand>{{"@", true}}));
    // A sync byte where the length byte belongs also restarts.
    EXPECT_EQ(Decode(Join({{0x21}, kVersionQuery})), (std::vector<DecodedCommand>{{"@", true}}));
}

TEST(SimFrameDecoder, ALengthThatOverrunsTheFrameIsCutShortByTheNextSync) {
    // Announces 200 characters but only 3 arrive before the next frame.
    const Bytes truncated{0x21, std::uint8_t(200 + 34), 'A', 'B', 'C'};
    EXPECT_EQ(Decode(Join({truncated, kVersionQuery})), (std::vector<DecodedCommand>{{"@", true}}));
}

TEST(SimFrameDecoder, RejectsImpossibleLengthsAndWaitsForTheNextSync) {
    for (int length : {0, 1, 2, 3, 20, 32, 34}) {  // 33 is the sync byte itself
        SCOPED_TRACE(length);
        // The bytes after a rejected length are not taken as a frame of any size.
        const Bytes bad{0x21, std::uint8_t(length), 0x23, 0x40, 0x4F, 0x37, 'Z'};
        EXPECT_TRUE(Decode(bad).empty());
        EXPECT_EQ(Decode(Join({bad, kVersionQuery})), (std::vector<DecodedCommand>{{"@", true}}));
    }
}

TEST(SimFrameDecoder, AcceptsTheShortestAndLongestCommands) {
    const std::string longest(link::kMaxCommandLength, 'K');
    const Bytes frame = link::BuildCommandFrame(longest, true);
    ASSERT_EQ(frame[1], 255);
    EXPECT_EQ(Decode(frame), (std::vector<DecodedCommand>{{longest, true}}));
    EXPECT_EQ(Decode(link::BuildCommandFrame("V", false)),
              (std::vector<DecodedCommand>{{"V", true}}));
}

TEST(SimFrameDecoder, FramesSplitAcrossFeedsAndBackToBackFramesDecodeInOrder) {
    const Bytes stream = Join({kVersionQuery,
                               {'n', 'o', 'i', 's', 'e'},
                               link::BuildCommandFrame("J", true),
                               link::BuildCommandFrame("K1", false)});
    const std::vector<DecodedCommand> expected{{"@", true}, {"J", true}, {"K1", true}};
    EXPECT_EQ(Decode(stream), expected);

    FrameDecoder byteByByte;
    std::vector<DecodedCommand> got;
    for (std::uint8_t b : stream) {
        if (auto command = byteByByte.Feed(b)) got.push_back(*command);
    }
    EXPECT_EQ(got, expected);

    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        FrameDecoder decoder;
        got.clear();
        std::size_t at = 0;
        while (at < stream.size()) {
            std::size_t n = std::uniform_int_distribution<std::size_t>(1, 6)(random);
            n = std::min(n, stream.size() - at);
            for (auto& c : decoder.Feed(std::span(stream).subspan(at, n))) got.push_back(c);
            at += n;
        }
        EXPECT_EQ(got, expected) << "round " << round;
    }
}

TEST(SimFrameDecoder, RandomBytesOnlyYieldCommandsOfPossibleLength) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> byte(0, 255);
    FrameDecoder decoder;
    int decoded = 0;
    for (int i = 0; i < 200000; ++i) {
        // Plenty of sync bytes so that frames of every length get started.
        const std::uint8_t b = i % 40 == 0 ? 0x21 : std::uint8_t(byte(random));
        if (auto command = decoder.Feed(b)) {
            ++decoded;
            EXPECT_GE(command->text.size(), 1u);
            EXPECT_LE(command->text.size(), link::kMaxCommandLength);
        }
    }
    EXPECT_GT(decoded, 0);
    EXPECT_EQ(decoder.Feed(kVersionQuery), (std::vector<DecodedCommand>{{"@", true}}));
}

}  // namespace
}  // namespace delvar::sim
