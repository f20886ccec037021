#include "sim/OutgoingQueue.h"

#include <algorithm>
#include <chrono>

namespace delvar::sim {

void OutgoingQueue::Schedule(ReplyPlan plan, SimTime now) {
    // An empty chunk would sit at the front for ever, as it never has bytes to write.
    std::erase_if(plan.chunks, [](const Chunk& chunk) { return chunk.bytes.empty(); });
    SimTime due = items_.empty() ? now : std::max(now, items_.back().due);
    for (std::size_t i = 0; i < plan.chunks.size(); ++i) {
        Chunk& chunk = plan.chunks[i];
        due += std::chrono::milliseconds(chunk.delayMs);
        const bool last = i + 1 == plan.chunks.size();
        pendingBytes_ += chunk.bytes.size();
        items_.push_back({due, std::move(chunk.bytes), 0, last && plan.dropAfter});
    }
}

std::span<const std::uint8_t> OutgoingQueue::Due(SimTime now) const {
    if (items_.empty() || items_.front().due > now) return {};
    const Item& front = items_.front();
    return std::span<const std::uint8_t>(front.bytes).subspan(front.sent);
}

bool OutgoingQueue::Sent(std::size_t n) {
    if (items_.empty()) return false;
    Item& front = items_.front();
    n = std::min(n, front.bytes.size() - front.sent);
    front.sent += n;
    pendingBytes_ -= n;
    if (front.sent < front.bytes.size()) return false;
    const bool drop = front.dropAfter;
    items_.pop_front();
    return drop;
}

std::optional<SimTime> OutgoingQueue::NextDue() const {
    if (items_.empty()) return std::nullopt;
    return items_.front().due;
}

void OutgoingQueue::Clear() {
    items_.clear();
    pendingBytes_ = 0;
}

LinePacer::LinePacer(int baud)
    : byteTime_(baud > 0 ? SimTime(std::chrono::seconds(10)) / baud : SimTime::zero()) {}

SimTime LinePacer::Send(SimTime ready, std::size_t count) {
    free_ = std::max(free_, ready) + byteTime_ * static_cast<std::int64_t>(count);
    return free_;
}

std::size_t LinePacer::Crossed(SimTime ready, SimTime now, std::size_t count) {
    if (!Paced()) return count;
    const SimTime start = std::max(free_, ready);
    if (now <= start) return 0;
    // Counted from the line's own start, so late writes catch up instead of drifting.
    const auto crossed =
        std::min<std::int64_t>(static_cast<std::int64_t>(count), (now - start) / byteTime_);
    free_ = start + byteTime_ * crossed;
    return static_cast<std::size_t>(crossed);
}

}  // namespace delvar::sim
