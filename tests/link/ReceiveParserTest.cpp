#include <gtest/gtest.h>

#include "link/Frame.h"
#include "link/ReceiveParser.h"

namespace delvar::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A parser with an exchange in progress, as SendCommand leaves it.
struct Parser {
    LinkState rx;
    ExchangeState ex;
    InstrumentInfo info;
    explicit Parser(const std::string& command = "V", bool checksum = true) {
        Bytes frame = BuildCommandFrame(command, checksum);
        ex.TxText.assign(frame.begin(), frame.end());
        ex.CommStatus = kBusy;
    }
    Parser& Feed(const Bytes& bytes) {
        for (auto b : bytes) ReceiveByte(b, rx, ex, info);
        return *this;
    }
};

TEST(ReceiveParser, StatusCharactersGiveTheirCodesAndKeepTheDataText) {
    const std::pair<char, int> cases[] = {{'A', 0},  {'B', 3},  {'C', 4}, {'D', 5}, {'E', 6},
                                          {'F', 11}, {'G', 12}, {'Z', 5}, {'a', 5}};
    for (auto [status, code] : cases) {
        Parser p;
        p.Feed(BuildReplyFrame(status, "7"));
        EXPECT_EQ(p.ex.CommStatus, code) << status;
        EXPECT_EQ(p.ex.ReplyText, "7") << status;
    }
    // A status-only frame gives the whole frame text.
    Bytes bare = BuildReplyFrame('A', "");
    EXPECT_EQ(Parser().Feed(bare).ex.ReplyText, std::string(bare.begin(), bare.end()));
    // The longest reply fills the buffer exactly.
    Parser longest;
    longest.Feed(BuildReplyFrame('A', std::string(219, 'd')));
    EXPECT_EQ(longest.ex.ReplyText, std::string(219, 'd'));
    EXPECT_EQ(longest.rx.RxBuffer.size(), 224u);
}

TEST(ReceiveParser, BadCheckBytesGiveCode7AndKeepThePreviousReplyText) {
    Parser p;
    p.ex.ReplyText = "previous";
    Bytes frame = BuildReplyFrame('A', "99");
    frame.back() = static_cast<std::uint8_t>(frame.back() == 40 ? 41 : 40);
    p.Feed(frame);
    EXPECT_EQ(p.ex.CommStatus, kReceiveCrcError);
    EXPECT_EQ(p.ex.ReplyText, "previous");
    EXPECT_FALSE(p.info.Online);
}

TEST(ReceiveParser, NoiseZeroBytesAndRestartsBeforeAGoodFrame) {
    Bytes good = BuildReplyFrame('A', "4");
    Bytes stream = {'x', 'y', 0x7f, 0x21, 45, 'A', '1'};  // noise, then a cut-off frame
    stream.insert(stream.end(), good.begin(), good.end());
    Bytes withZeros;  // zero bytes anywhere are skipped, also between the check bytes
    for (auto b : stream) withZeros.insert(withZeros.end(), {0, b});
    Parser p;
    p.Feed(withZeros);
    EXPECT_EQ(p.ex.CommStatus, kOk);
    EXPECT_EQ(p.ex.ReplyText, "4");
}

TEST(ReceiveParser, ShortLengthBytes) {
    // 1 and 2 are not lengths: skipped, and not kept in the frame text either.
    Bytes frame = BuildReplyFrame('A', "5");
    Bytes stream = {0x21, 1, 2};
    stream.insert(stream.end(), frame.begin() + 1, frame.end());
    EXPECT_EQ(Parser().Feed(stream).ex.ReplyText, "5");
    // 3 to 32 drop the frame; the next good one is still recognised (33 is the sync).
    for (int length = 3; length <= 32; ++length) {
        Parser p;
        Bytes junk(300, 'Q');
        junk.insert(junk.begin(), {0x21, static_cast<std::uint8_t>(length)});
        p.Feed(junk);
        EXPECT_EQ(p.rx.RxIndex, 0) << length;
        EXPECT_EQ(p.ex.CommStatus, kBusy) << length;  // ends later by time-out
        EXPECT_EQ(p.Feed(BuildReplyFrame('A', "ok")).ex.ReplyText, "ok") << length;
    }
    // 34 is judged after one more byte.
    Parser p;
    EXPECT_EQ(p.Feed({0x21, 34}).ex.CommStatus, kBusy);
    EXPECT_EQ(p.Feed({'A'}).ex.CommStatus, kReceiveCrcError);
}

TEST(ReceiveParser, TrailingByteIsJudgedAgainInTheLastPosition) {
    Parser p;
    Bytes frame = BuildReplyFrame('A', "1");
    ASSERT_EQ(p.Feed(frame).ex.CommStatus, kOk);
    EXPECT_EQ(p.Feed({'x'}).ex.CommStatus, kReceiveCrcError);
    EXPECT_EQ(p.ex.ReplyText, "1");
    EXPECT_EQ(p.Feed({frame.back()}).ex.CommStatus, kOk);  // the real last byte again
}

TEST(ReceiveParser, OnlyAGoodReplyToAtIsAVersionText) {
    Parser codep("@");
    codep.Feed(BuildReplyFrame('A', "DELVARC Ver 6.30"));
    EXPECT_EQ(codep.info.VersionText, "DELVARC Ver 6.30");
    EXPECT_TRUE(codep.info.CoDep);
    Parser plain("@", false);  // the checksum-off frame of "@" too
    plain.info.CoDep = true;
    plain.Feed(BuildReplyFrame('A', "DELVAR"));
    EXPECT_EQ(plain.info.VersionText, "DELVAR");
    EXPECT_FALSE(plain.info.CoDep);
    EXPECT_EQ(Parser("J").Feed(BuildReplyFrame('A', "DELVARC")).info.VersionText, "");
    EXPECT_EQ(Parser("@").Feed(BuildReplyFrame('D', "DELVARC Ver 6.30")).info.VersionText, "");
}

}  // namespace
}  // namespace delvar::link
