// Long random streams through the receive parser: it must never index outside its
// buffer (the sanitizer build checks that), every exchange must be able to end, and
// damaged frames give only the codes a reply can have.
#include <gtest/gtest.h>

#include <random>

#include "link/Frame.h"
#include "link/ReceiveParser.h"

namespace delvar::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Fuzz {
    std::mt19937 random{20261207};
    LinkState rx;
    ExchangeState ex;
    InstrumentInfo info;
    int Byte() { return std::uniform_int_distribution<int>(0, 255)(random); }
    int Feed(const Bytes& bytes) {
        ex.CommStatus = kBusy;
        for (auto b : bytes) ReceiveByte(b, rx, ex, info);
        return ex.CommStatus;
    }
};

TEST(ReceiveParserFuzz, RandomBytesThenAGoodFrameAlwaysEnds) {
    Fuzz f;
    std::size_t fed = 0;
    for (int round = 0; round < 10000; ++round) {
        Bytes noise(static_cast<std::size_t>(f.Byte() + f.Byte() / 2));
        for (auto& b : noise) b = static_cast<std::uint8_t>(f.Byte());
        f.Feed(noise);
        fed += noise.size();
        ASSERT_GE(f.rx.RxIndex, 0);
        if (f.rx.RxIndex >= 2) {
            ASSERT_LT(std::size_t(f.rx.RxIndex), f.rx.RxBuffer.size());
        }
        // Whatever the noise left, a complete good frame ends the exchange with its data.
        const std::string data = std::to_string(round);
        ASSERT_EQ(f.Feed(BuildReplyFrame('A', data)), kOk) << "round " << round;
        ASSERT_EQ(f.ex.ReplyText, data);
    }
    EXPECT_GT(fed, 1'500'000u);
}

TEST(ReceiveParserFuzz, RandomFramesWithDamageGiveOnlyKnownCodes) {
    Fuzz f;
    int good = 0;
    for (int round = 0; round < 20000; ++round) {
        // Printable data as the instrument sends it; "!" would start a new frame.
        std::string data(static_cast<std::size_t>(f.Byte() % 220), 'x');
        for (auto& ch : data) ch = static_cast<char>('"' + f.Byte() % 90);
        const char status = static_cast<char>('A' + f.Byte() % 8);
        Bytes frame = BuildReplyFrame(status, data);
        const bool damaged = f.Byte() % 10 < 3;
        if (damaged) frame[2 + static_cast<std::size_t>(f.Byte()) % (frame.size() - 2)] ^= 0x04;
        const int code = f.Feed(frame);
        ASSERT_TRUE(code == kBusy || code == kReceiveCrcError ||
                    code == StatusCodeFor(static_cast<std::uint8_t>(frame[2])))
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
