#include "link/ReceiveParser.h"

#include <span>

#include "link/Frame.h"

namespace delvar::link {

namespace {
// Smallest length byte that leaves room for the header and the two check bytes:
// 34 sizes the buffer to 0..2 (judged after one more byte). Below that the frame
// would be shorter than its own header, and such a length is refused.
constexpr int kMinJudgedLength = 34;
constexpr int kStatusOffset = 2;
constexpr std::size_t kHeaderChars = 3;   // sync, length, status in RxText
constexpr std::size_t kTrailerChars = 2;  // the check characters

void JudgeFrame(LinkState& rx, ExchangeState& exchange, InstrumentInfo& info) {
    const std::size_t last = rx.RxBuffer.size() - 1;
    CheckBytes check = FrameCheck(rx.RxBuffer);
    if (check.first != rx.RxBuffer[last - 1] || check.second != rx.RxBuffer[last]) {
        exchange.CommStatus = kReceiveCrcError;
        return;
    }
    info.Online = true;
    if (rx.RxText.size() > kHeaderChars + kTrailerChars)
        exchange.ReplyText =
            rx.RxText.substr(kHeaderChars, rx.RxText.size() - kHeaderChars - kTrailerChars);
    else
        exchange.ReplyText = rx.RxText;  // status-only frame: the frame text whole
    std::uint8_t status = rx.RxBuffer[kStatusOffset];
    exchange.CommStatus = StatusCodeFor(status);
    if (status == 'A' && exchange.TxText.size() > kMessageOffset &&
        exchange.TxText[kMessageOffset] == '@') {
        info.VersionText = exchange.ReplyText;
        info.CoDep = info.VersionText.size() >= 7 && info.VersionText[6] == 'C';
    }
}
}  // namespace

int StatusCodeFor(std::uint8_t statusChar) {
    switch (statusChar) {
        case 'A':
            return kOk;
        case 'B':
            return kNotReady;
        case 'C':
            return kBadCommand;
        case 'D':
            return kBadData;
        case 'E':
            return kBadMode;
        case 'F':
            return kTransmitCrcError;
        case 'G':
            return kMessageTooLong;
        default:
            return kBadData;
    }
}

void ReceiveByte(std::uint8_t b, LinkState& rx, ExchangeState& exchange, InstrumentInfo& info) {
    if (b == 0x00) return;
    rx.RxText.push_back(static_cast<char>(b));
    if (b == kSyncByte) {
        rx.RxIndex = 1;
        rx.RxText.assign(1, static_cast<char>(kSyncByte));
        return;
    }
    if (rx.RxIndex <= 0) return;
    if (rx.RxIndex == 1) {
        if (b <= 2) {
            // Not a length: the next byte is tried as the length. It is not kept in
            // the frame text, which would otherwise shift the data text taken from it.
            rx.RxText.pop_back();
            return;
        }
        if (b < kMinJudgedLength) {
            // Too short to hold its own header and check bytes: drop it and wait for
            // the next sync, so the exchange ends by time-out instead of hanging.
            rx.RxIndex = 0;
            return;
        }
        rx.RxBuffer.assign(static_cast<std::size_t>(b) - 31, 0);  // indices 0 .. L - 32
        rx.RxBuffer[0] = kSyncByte;
        rx.RxBuffer[kLengthOffset] = b;
        rx.RxIndex = 2;
        return;
    }
    const auto last = static_cast<std::int32_t>(rx.RxBuffer.size()) - 1;
    if (rx.RxIndex < last) {
        rx.RxBuffer[static_cast<std::size_t>(rx.RxIndex)] = b;
        ++rx.RxIndex;
        return;
    }
    // Last byte, or a further byte after judging: it takes the last position and
    // the frame is judged (again).
    rx.RxIndex = last;
    rx.RxBuffer[static_cast<std::size_t>(last)] = b;
    JudgeFrame(rx, exchange, info);
}

}  // namespace delvar::link
