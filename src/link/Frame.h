// The link frame: "!", a length byte, the message, two 7-bit check bytes.
// Commands carry length n + 34 for n characters; replies carry m + 35 for m
// message characters (status included). Both check bytes lie in 34..161.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace delvar::link {

inline constexpr std::uint8_t kSyncByte = 0x21;        // "!"
inline constexpr int kCommandLengthBias = 34;          // length byte = n + 34
inline constexpr int kReplyLengthBias = 35;            // length byte = m + 35
inline constexpr int kCheckByteBias = 34;              // each 7-bit half + 34
inline constexpr std::size_t kMaxCommandLength = 221;  // 221 + 34 = 255
inline constexpr std::size_t kLengthOffset = 1;        // frame offset of the length byte
inline constexpr std::size_t kMessageOffset = 2;       // first message character
inline constexpr std::uint16_t kCheckInit = 0x3FFF;
inline constexpr std::uint16_t kCheckPolynomial = 0x2001;  // reflected, LSB first

struct CheckBytes {
    std::uint8_t first = 0;   // low seven bits + 34
    std::uint8_t second = 0;  // next seven bits + 34
    bool operator==(const CheckBytes&) const = default;
};

// The 14-bit check over bytes 1 .. size-3 of a whole frame (not the sync byte and
// not the last two positions, which are where the check bytes go).
CheckBytes FrameCheck(std::span<const std::uint8_t> frame);

// Raw 14-bit check value over a run of bytes (length byte and message).
std::uint16_t CheckValue(std::span<const std::uint8_t> bytes);

// The command frame for text: sync, length, characters, check bytes (or two zeros
// when checksum is false). Empty when text is empty or longer than 221 characters.
std::vector<std::uint8_t> BuildCommandFrame(std::string_view text, bool checksum);

// A reply frame with the given status character and data, for the simulator and tests.
// Empty when status + data exceed 220 characters.
std::vector<std::uint8_t> BuildReplyFrame(char status, std::string_view data);

// The message text of a CommStatus code ("" for 0, "Timeout" for 1, ...).
std::string StatusText(int code);

}  // namespace delvar::link
