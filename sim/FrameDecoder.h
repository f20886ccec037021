// Pure decoder of command frames as the instrument receives them: bytes in,
// complete commands out. A sync byte restarts a frame wherever it comes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace delvar::sim {

struct DecodedCommand {
    std::string text;
    bool checkOk = true;  // false: the check bytes were neither right nor both zero
    bool operator==(const DecodedCommand&) const = default;
};

class FrameDecoder {
  public:
    // Feeds one byte; a command when it completes a frame.
    std::optional<DecodedCommand> Feed(std::uint8_t b);
    // Feeds a run of bytes; the commands it completes, in order.
    std::vector<DecodedCommand> Feed(std::span<const std::uint8_t> bytes);

  private:
    enum class State { Idle, Length, Body };
    DecodedCommand Judge() const;

    State state_ = State::Idle;
    std::vector<std::uint8_t> frame_;
    std::size_t expected_ = 0;  // whole frame size, sync and check bytes included
};

}  // namespace delvar::sim
