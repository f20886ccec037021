// Reply bytes waiting to go out on one connection, each chunk with the time it is
// due. Pure: the caller supplies the time and does the writing.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

#include "sim/FaultInjector.h"
#include "sim/SimClock.h"

namespace delvar::sim {

class OutgoingQueue {
  public:
    // Queues a reply's chunks behind anything still waiting. Each chunk's pause counts
    // from the later of now and the due time of the chunk queued before it, so replies
    // never overtake each other and their pauses are kept.
    void Schedule(ReplyPlan plan, SimTime now);
    // The unsent bytes of the front chunk when it is due at now; empty otherwise.
    std::span<const std::uint8_t> Due(SimTime now) const;
    // Marks n bytes of the front chunk as written (n up to its unsent size). True when
    // that finished a chunk after which the connection is to be dropped.
    bool Sent(std::size_t n);
    std::optional<SimTime> NextDue() const;
    bool Empty() const { return items_.empty(); }
    std::size_t PendingBytes() const { return pendingBytes_; }
    void Clear();

  private:
    struct Item {
        SimTime due;
        std::vector<std::uint8_t> bytes;
        std::size_t sent = 0;
        bool dropAfter = false;
    };
    std::deque<Item> items_;
    std::size_t pendingBytes_ = 0;
};

}  // namespace delvar::sim
