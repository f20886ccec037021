// Reply bytes waiting to go out on one connection, each chunk with the time it is
// due. Pure: the caller supplies the time and does the writing.
#pragma once

#include <algorithm>
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

// One direction of a serial line at a fixed rate: a byte takes 10 bit times (start,
// 8 data, stop) and bytes cross one after the other. Pure: the caller supplies times.
class LinePacer {
  public:
    explicit LinePacer(int baud = 0);  // 0: an unpaced line, every byte crosses at once
    bool Paced() const { return byteTime_ > SimTime::zero(); }
    // Puts count bytes ready at ready on the line behind those before them; returns
    // when the last of them has crossed.
    SimTime Send(SimTime ready, std::size_t count);
    // How many of count bytes ready at ready have crossed by now; they count as sent.
    std::size_t Crossed(SimTime ready, SimTime now, std::size_t count);
    // When the next byte ready at ready will have crossed.
    SimTime NextCrossing(SimTime ready) const { return std::max(free_, ready) + byteTime_; }

  private:
    SimTime byteTime_{0};
    SimTime free_{0};  // when the line has finished the last byte put on it
};

}  // namespace delvar::sim
