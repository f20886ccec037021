// Pure decoder of command frames as the instrument receives them: bytes in,
// complete commands out. A sync byte restarts a frame wherever it comes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace delvar::sim {

struct DecodedCommand {
    std::string text;
    bool checkOk = true;  // false: the check bytes were neither right nor both zero
};

class FrameDecoder {
  public:
    // Feeds one byte; a command when it completes a frame.
    std::optional<DecodedCommand> Feed(std::uint8_t b);

  private:
    enum class State { Idle, Length, Body };
    State state_ = State::Idle;
    std::vector<std::uint8_t> frame_;
    std::size_t expected_ = 0;  // whole frame size
};

}  // namespace delvar::sim
