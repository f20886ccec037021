#include "link/Frame.h"

namespace delvar::link {

std::uint16_t CheckValue(std::span<const std::uint8_t> bytes) {
    std::uint16_t check = kCheckInit;
    for (std::uint8_t byte : bytes) {
        check ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            if (check & 1u)
                check = static_cast<std::uint16_t>((check >> 1) ^ kCheckPolynomial);
            else
                check = static_cast<std::uint16_t>(check >> 1);
        }
    }
    return check & 0x3FFF;
}

CheckBytes FrameCheck(std::span<const std::uint8_t> frame) {
    std::span<const std::uint8_t> covered;
    if (frame.size() > 3) covered = frame.subspan(kLengthOffset, frame.size() - 3);
    std::uint16_t check = CheckValue(covered);
    return {static_cast<std::uint8_t>((check & 0x7F) + kCheckByteBias),
            static_cast<std::uint8_t>(((check >> 7) & 0x7F) + kCheckByteBias)};
}

namespace {
std::vector<std::uint8_t> Framed(std::string_view message, int lengthBias, bool checksum) {
    std::vector<std::uint8_t> frame;
    frame.reserve(message.size() + 4);
    frame.push_back(kSyncByte);
    frame.push_back(static_cast<std::uint8_t>(message.size() + lengthBias));
    frame.insert(frame.end(), message.begin(), message.end());
    frame.push_back(0);
    frame.push_back(0);
    if (checksum) {
        CheckBytes check = FrameCheck(frame);
        frame[frame.size() - 2] = check.first;
        frame[frame.size() - 1] = check.second;
    }
    return frame;
}
}  // namespace

std::vector<std::uint8_t> BuildCommandFrame(std::string_view text, bool checksum) {
    if (text.empty() || text.size() > kMaxCommandLength) return {};
    return Framed(text, kCommandLengthBias, checksum);
}

std::vector<std::uint8_t> BuildReplyFrame(char status, std::string_view data) {
    if (data.size() + 1 + kReplyLengthBias > 255) return {};
    std::string message(1, status);
    message.append(data);
    return Framed(message, kReplyLengthBias, true);
}

std::string StatusText(int code) {
    switch (code) {
        case 0:
            return "";
        case 1:
            return "Timeout";
        case 2:
            return "No Data";
        case 3:
            return "Not Ready";
        case 4:
            return "Bad Command";
        case 5:
            return "Bad Data";
        case 6:
            return "Bad Mode";
        case 7:
            return "Receive CRC Error";
        case 8:
            return "Port Not Ready";
        case 9:
            return "Instrument Busy";
        case 11:
            return "Transmit CRC Error";
        case 12:
            return "Message Too Long";
        case 95:
            return "4 Channels Required";
        case 96:
            return "CoDep Required";
        default:
            return "Unknown Error";
    }
}

}  // namespace delvar::link
