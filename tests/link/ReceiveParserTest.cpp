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
    explicit Parser(const std::string& command = "V") {
        Bytes frame = BuildCommandFrame(command, true);
        ex.TxText.assign(frame.begin(), frame.end());
        ex.CommStatus = kBusy;
    }
    void Feed(const Bytes& bytes) {
        for (auto b : bytes) ReceiveByte(b, rx, ex, info);
    }
    void Feed(const std::string& text) { Feed(Bytes(text.begin(), text.end())); }
};

Bytes Reply(char status, const std::string& data) {
    return BuildReplyFrame(status, data);
}

TEST(ReceiveParser, GoodReplyGivesDataText) {
    Parser p;
    p.Feed(Reply('A', "12.5"));
    EXPECT_EQ(p.ex.CommStatus, kOk);
    EXPECT_EQ(p.ex.ReplyText, "12.5");
    EXPECT_TRUE(p.info.Online);
    EXPECT_EQ(p.rx.RxText, "!(A12.5" + std::string(1, char(Reply('A', "12.5")[7])) +
                               std::string(1, char(Reply('A', "12.5")[8])));
}

TEST(ReceiveParser, StatusOnlyFrameGivesTheWholeFrameText) {
    Parser p;
    Bytes frame = Reply('A', "");
    ASSERT_EQ(frame[1], 36);
    p.Feed(frame);
    EXPECT_EQ(p.ex.CommStatus, kOk);
    EXPECT_EQ(p.ex.ReplyText, std::string(frame.begin(), frame.end()));
}

TEST(ReceiveParser, EveryStatusCharacterMapsToItsCode) {
    const std::pair<char, int> cases[] = {{'A', 0},  {'B', 3},  {'C', 4}, {'D', 5}, {'E', 6},
                                          {'F', 11}, {'G', 12}, {'Z', 5}, {'a', 5}, {'H', 5}};
    for (auto [status, code] : cases) {
        Parser p;
        p.Feed(Reply(status, "7"));
        EXPECT_EQ(p.ex.CommStatus, code) << status;
        EXPECT_EQ(p.ex.ReplyText, "7") << status;  // the data text is kept for every status
    }
}

TEST(ReceiveParser, BadCheckBytesGiveCode7AndKeepThePreviousReplyText) {
    Parser p;
    p.ex.ReplyText = "previous";
    Bytes frame = Reply('A', "99");
    frame.back() = static_cast<std::uint8_t>(frame.back() == 40 ? 41 : 40);
    p.Feed(frame);
    EXPECT_EQ(p.ex.CommStatus, kReceiveCrcError);
    EXPECT_EQ(p.ex.ReplyText, "previous");
    EXPECT_FALSE(p.info.Online);
}

TEST(ReceiveParser, NoiseBeforeSyncZeroBytesAndRestartsAreHandled) {
    Parser p;
    p.Feed(std::string("xyz\x7f"));
    EXPECT_EQ(p.rx.RxIndex, 0);
    EXPECT_EQ(p.ex.CommStatus, kBusy);
    // A sync inside a frame restarts it.
    Bytes good = Reply('A', "4");
    Bytes stream = {0x21, 45, 'A', '1'};
    stream.insert(stream.end(), good.begin(), good.end());
    // Zero bytes anywhere are skipped, also between the check bytes.
    Bytes withZeros;
    for (auto b : stream) {
        withZeros.push_back(0);
        withZeros.push_back(b);
    }
    p.Feed(withZeros);
    EXPECT_EQ(p.ex.CommStatus, kOk);
    EXPECT_EQ(p.ex.ReplyText, "4");
}

TEST(ReceiveParser, LengthBytesBelowThreeAreNotLengths) {
    // They are skipped and not kept in the frame text either, so the data text of the
    // frame that follows is not shifted.
    Parser p;
    Bytes frame = Reply('A', "5");
    Bytes stream = {0x21, 1, 2};
    stream.insert(stream.end(), frame.begin() + 1, frame.end());
    p.Feed(stream);
    EXPECT_EQ(p.ex.CommStatus, kOk);
    EXPECT_EQ(p.ex.ReplyText, "5");
}

TEST(ReceiveParser, LengthBytesThreeToThirtyTwoReturnToIdle) {
    // (33 is the sync byte itself.)
    for (int length = 3; length <= 32; ++length) {
        Parser p;
        Bytes stream(300, 'Q');
        stream.insert(stream.begin(), {0x21, static_cast<std::uint8_t>(length)});
        p.Feed(stream);
        EXPECT_EQ(p.rx.RxIndex, 0) << length;
        EXPECT_EQ(p.ex.CommStatus, kBusy) << length;  // ends later by time-out
        // The next good frame is still recognised.
        p.Feed(Reply('A', "ok"));
        EXPECT_EQ(p.ex.CommStatus, kOk);
        EXPECT_EQ(p.ex.ReplyText, "ok");
    }
}

TEST(ReceiveParser, LengthThirtyFourIsJudgedAfterOneMoreByte) {
    Parser p;
    p.Feed(Bytes{0x21, 34});
    EXPECT_EQ(p.ex.CommStatus, kBusy);
    p.Feed(Bytes{'A'});
    EXPECT_EQ(p.ex.CommStatus, kReceiveCrcError);
}

TEST(ReceiveParser, TrailingByteIsJudgedAgainInTheLastPosition) {
    Parser p;
    Bytes frame = Reply('A', "1");
    p.Feed(frame);
    ASSERT_EQ(p.ex.CommStatus, kOk);
    p.Feed(Bytes{'x'});
    EXPECT_EQ(p.ex.CommStatus, kReceiveCrcError);
    EXPECT_EQ(p.ex.ReplyText, "1");
    // Re-sending the real last check byte makes the frame good again.
    p.Feed(Bytes{frame.back()});
    EXPECT_EQ(p.ex.CommStatus, kOk);
    EXPECT_EQ(p.rx.RxIndex, static_cast<int>(frame.size()) - 1);
}

TEST(ReceiveParser, LongestReplyFillsTheBuffer) {
    Parser p;
    std::string data(219, 'd');
    p.Feed(Reply('A', data));
    EXPECT_EQ(p.ex.CommStatus, kOk);
    EXPECT_EQ(p.ex.ReplyText, data);
    EXPECT_EQ(p.rx.RxBuffer.size(), 224u);
}

TEST(ReceiveParser, VersionReplySetsVersionTextAndCoDep) {
    Parser codep("@");
    codep.Feed(Reply('A', "DELVARC Ver 6.30"));
    EXPECT_EQ(codep.info.VersionText, "DELVARC Ver 6.30");
    EXPECT_TRUE(codep.info.CoDep);

    Parser six("@");
    six.info.CoDep = true;
    six.Feed(Reply('A', "DELVAR"));
    EXPECT_EQ(six.info.VersionText, "DELVAR");
    EXPECT_FALSE(six.info.CoDep);

    // Only a reply to "@" is a version text, and only with status "A".
    Parser other("J");
    other.Feed(Reply('A', "DELVARC"));
    EXPECT_EQ(other.info.VersionText, "");
    Parser refused("@");
    refused.Feed(Reply('D', "DELVARC Ver 6.30"));
    EXPECT_EQ(refused.info.VersionText, "");
}

TEST(ReceiveParser, ChecksumOffCommandStillSeesVersionReply) {
    Parser p;
    Bytes frame = BuildCommandFrame("@", false);
    p.ex.TxText.assign(frame.begin(), frame.end());
    p.Feed(Reply('A', "DELVAR  Ver 6.30"));
    EXPECT_EQ(p.info.VersionText, "DELVAR  Ver 6.30");
}

}  // namespace
}  // namespace delvar::link
