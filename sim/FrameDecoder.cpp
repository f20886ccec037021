#include "sim/FrameDecoder.h"

#include "link/Frame.h"

namespace delvar::sim {

std::optional<DecodedCommand> FrameDecoder::Feed(std::uint8_t b) {
    if (b == link::kSyncByte) {
        frame_.assign(1, b);
        state_ = State::Length;
        return std::nullopt;
    }
    switch (state_) {
        case State::Idle:
            return std::nullopt;
        case State::Length: {
            const int n = int(b) - link::kCommandLengthBias;
            if (n < 1 || n > int(link::kMaxCommandLength)) {
                state_ = State::Idle;  // no such command: wait for the next sync
                return std::nullopt;
            }
            frame_.push_back(b);
            expected_ = std::size_t(n) + 4;
            state_ = State::Body;
            return std::nullopt;
        }
        case State::Body:
            break;
    }
    frame_.push_back(b);
    if (frame_.size() < expected_) return std::nullopt;
    state_ = State::Idle;
    DecodedCommand command;
    command.text.assign(frame_.begin() + 2, frame_.end() - 2);
    const std::uint8_t c1 = frame_[frame_.size() - 2], c2 = frame_.back();
    const bool zeros = c1 == 0 && c2 == 0;  // sent with checksums off
    const link::CheckBytes check = link::FrameCheck(frame_);
    command.checkOk = zeros || (check.first == c1 && check.second == c2);
    return command;
}

}  // namespace delvar::sim
