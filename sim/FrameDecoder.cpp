#include "sim/FrameDecoder.h"

#include "link/Frame.h"

namespace delvar::sim {

namespace {
constexpr std::size_t kCheckBytes = 2;
constexpr std::size_t kFrameOverhead = link::kMessageOffset + kCheckBytes;  // n + 4 bytes
}  // namespace

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
            // A length byte is n + 34 for n = 1..221; anything else cannot be a command,
            // so wait for the next sync rather than guess at a frame size.
            const int n = int(b) - link::kCommandLengthBias;
            if (n < 1 || n > int(link::kMaxCommandLength)) {
                state_ = State::Idle;
                return std::nullopt;
            }
            frame_.push_back(b);
            expected_ = std::size_t(n) + kFrameOverhead;
            state_ = State::Body;
            return std::nullopt;
        }
        case State::Body:
            frame_.push_back(b);
            if (frame_.size() < expected_) return std::nullopt;
            state_ = State::Idle;
            return Judge();
    }
    return std::nullopt;
}

std::vector<DecodedCommand> FrameDecoder::Feed(std::span<const std::uint8_t> bytes) {
    std::vector<DecodedCommand> commands;
    for (std::uint8_t b : bytes) {
        if (auto command = Feed(b)) commands.push_back(std::move(*command));
    }
    return commands;
}

DecodedCommand FrameDecoder::Judge() const {
    DecodedCommand command;
    command.text.assign(frame_.begin() + link::kMessageOffset, frame_.end() - kCheckBytes);
    const std::uint8_t first = frame_[frame_.size() - 2];
    const std::uint8_t second = frame_.back();
    const bool checksumOff = first == 0 && second == 0;
    command.checkOk = checksumOff || link::FrameCheck(frame_) == link::CheckBytes{first, second};
    return command;
}

}  // namespace delvar::sim
