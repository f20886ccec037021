// Long random streams through the receive parser: it must never index outside its
// buffer (the sanitizer build checks that) and every exchange must be able to end.
#include <gtest/gtest.h>

#include <random>

#include "link/Frame.h"
#include "link/ReceiveParser.h"

namespace delvar::link {
namespace {

TEST(ReceiveParserFuzz, RandomBytesThenAGoodFrameAlwaysEnds) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> noiseLength(0, 400);
    LinkState rx;
    ExchangeState ex;
    InstrumentInfo info;
    std::size_t fed = 0;
    for (int round = 0; round < 10000; ++round) {
        ex.CommStatus = kBusy;
        int length = noiseLength(random);
        for (int i = 0; i < length; ++i)
            ReceiveByte(static_cast<std::uint8_t>(byte(random)), rx, ex, info);
        fed += static_cast<std::size_t>(length);
        ASSERT_GE(rx.RxIndex, 0);
        if (rx.RxIndex >= 2) {
            ASSERT_LT(static_cast<std::size_t>(rx.RxIndex), rx.RxBuffer.size());
        }
        // Whatever the noise left, a complete good frame ends the exchange with its data.
        ex.CommStatus = kBusy;
        std::string data = std::to_string(round);
        for (auto b : BuildReplyFrame('A', data)) ReceiveByte(b, rx, ex, info);
        ASSERT_EQ(ex.CommStatus, kOk) << "round " << round;
        ASSERT_EQ(ex.ReplyText, data);
    }
    EXPECT_GT(fed, 1'000'000u);
}

TEST(ReceiveParserFuzz, RandomFramesWithDamageGiveOnlyKnownCodes) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> dataLength(0, 219);
    std::uniform_int_distribution<int> percent(0, 99);
    LinkState rx;
    ExchangeState ex;
    InstrumentInfo info;
    int good = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string data(static_cast<std::size_t>(dataLength(random)), 'x');
        // Printable data as the instrument sends it; "!" would start a new frame.
        for (auto& ch : data) ch = static_cast<char>('"' + byte(random) % 90);
        char status = static_cast<char>('A' + byte(random) % 8);
        auto frame = BuildReplyFrame(status, data);
        bool damaged = percent(random) < 30;
        if (damaged) frame[2 + static_cast<std::size_t>(byte(random)) % (frame.size() - 2)] ^= 0x04;
        ex.CommStatus = kBusy;
        for (auto b : frame) ReceiveByte(b, rx, ex, info);
        int code = ex.CommStatus;
        ASSERT_TRUE(code == kBusy || code == kOk || code == kNotReady || code == kBadCommand ||
                    code == kBadData || code == kBadMode || code == kReceiveCrcError ||
                    code == kTransmitCrcError || code == kMessageTooLong)
            << code;
        if (!damaged) {
            ASSERT_EQ(code, StatusCodeFor(static_cast<std::uint8_t>(status)));
            ++good;
        }
    }
    EXPECT_GT(good, 10000);
}

}  // namespace
}  // namespace delvar::link
