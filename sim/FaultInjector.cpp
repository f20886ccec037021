#include "sim/FaultInjector.h"

#include <algorithm>

#include "link/Frame.h"

namespace delvar::sim {

namespace {
constexpr int kMaxCheckByte = link::kCheckByteBias + 0x7F;  // 161
constexpr int kMaxNoiseBytes = 8;
constexpr int kMinChunks = 2, kMaxChunks = 4;
constexpr int kMinPauseMs = 1, kMaxPauseMs = 5;
}  // namespace

bool FaultInjector::Every(FailureMode mode, int count) const {
    const int n = options_[mode];
    return n > 0 && count % n == 0;
}

int FaultInjector::Uniform(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random_);
}

bool FaultInjector::SilenceCommand() {
    return Every(FailureMode::Silent, ++commands_);
}

bool FaultInjector::DamageCommand() {
    return Every(FailureMode::Damage, ++answered_);
}

ReplyPlan FaultInjector::Plan(std::vector<std::uint8_t> frame) {
    ++replies_;
    if (Every(FailureMode::Corrupt, replies_)) Corrupt(frame);
    if (Every(FailureMode::Garbage, replies_)) {
        std::vector<std::uint8_t> noise = Noise();
        frame.insert(frame.begin(), noise.begin(), noise.end());
    }
    ReplyPlan plan;
    plan.dropAfter = options_[FailureMode::Drop] > 0 && replies_ == options_[FailureMode::Drop];
    if (options_[FailureMode::Split] > 0 && frame.size() >= 2)
        plan.chunks = Split(frame);
    else
        plan.chunks.push_back({std::move(frame), 0});
    return plan;
}

void FaultInjector::Corrupt(std::vector<std::uint8_t>& frame) const {
    // Move the last check byte to another value in 34..161: wrong, yet plausible.
    if (frame.size() < 2) return;
    std::uint8_t& last = frame.back();
    last = static_cast<std::uint8_t>(last >= kMaxCheckByte ? link::kCheckByteBias : last + 1);
}

std::vector<std::uint8_t> FaultInjector::Noise() {
    // Never a sync byte (it would start a frame) and never 0x00 (receivers skip it).
    std::vector<std::uint8_t> noise(static_cast<std::size_t>(Uniform(1, kMaxNoiseBytes)));
    for (std::uint8_t& b : noise) {
        do b = static_cast<std::uint8_t>(Uniform(1, 255));
        while (b == link::kSyncByte);
    }
    return noise;
}

std::vector<Chunk> FaultInjector::Split(const std::vector<std::uint8_t>& bytes) {
    const int size = int(bytes.size());
    const int pieces = std::min(Uniform(kMinChunks, kMaxChunks), size);
    std::vector<int> cuts;  // distinct positions 1..size-1, each starting a new chunk
    while (int(cuts.size()) < pieces - 1) {
        const int cut = Uniform(1, size - 1);
        if (std::find(cuts.begin(), cuts.end(), cut) == cuts.end()) cuts.push_back(cut);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.push_back(size);
    std::vector<Chunk> chunks;
    int from = 0;
    for (int cut : cuts) {
        Chunk chunk;
        chunk.bytes.assign(bytes.begin() + from, bytes.begin() + cut);
        chunk.delayMs = from == 0 ? 0 : Uniform(kMinPauseMs, kMaxPauseMs);
        chunks.push_back(std::move(chunk));
        from = cut;
    }
    return chunks;
}

}  // namespace delvar::sim
