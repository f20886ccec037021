#include "sim/FaultInjector.h"

#include <algorithm>

#include "link/Frame.h"

namespace delvar::sim {

int FaultInjector::Uniform(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random_);
}

bool FaultInjector::SilenceCommand() {
    return Every(options_.silentEvery, ++commands_);
}

bool FaultInjector::DamageCommand() {
    return Every(options_.damageEvery, ++answered_);
}

ReplyPlan FaultInjector::Plan(std::vector<std::uint8_t> frame) {
    ++replies_;
    if (Every(options_.corruptEvery, replies_) && frame.size() >= 2) {
        // Still plausible check bytes (34..161), just not the right ones.
        auto& last = frame.back();
        last = static_cast<std::uint8_t>(last >= 161 ? 34 : last + 1);
    }
    if (Every(options_.garbageEvery, replies_)) {
        std::vector<std::uint8_t> noise(static_cast<std::size_t>(Uniform(1, 8)));
        for (auto& b : noise) {
            do b = static_cast<std::uint8_t>(Uniform(1, 255));
            while (b == link::kSyncByte);
        }
        frame.insert(frame.begin(), noise.begin(), noise.end());
    }
    ReplyPlan plan;
    plan.dropAfter = options_.dropAfter > 0 && replies_ == options_.dropAfter;
    if (!options_.split || frame.size() < 2) {
        plan.chunks.push_back({std::move(frame), 0});
        return plan;
    }
    const int pieces = std::min<int>(Uniform(2, 4), int(frame.size()));
    std::vector<std::size_t> cuts;
    while (int(cuts.size()) < pieces - 1) {
        auto cut = static_cast<std::size_t>(Uniform(1, int(frame.size()) - 1));
        if (std::find(cuts.begin(), cuts.end(), cut) == cuts.end()) cuts.push_back(cut);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.push_back(frame.size());
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        Chunk chunk;
        chunk.bytes.assign(frame.begin() + long(from), frame.begin() + long(cut));
        chunk.delayMs = from == 0 ? 0 : Uniform(1, 5);
        plan.chunks.push_back(std::move(chunk));
        from = cut;
    }
    return plan;
}

}  // namespace delvar::sim
