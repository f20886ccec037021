// The simulator's own time: a value that only moves when it is advanced. The server
// advances it from a monotonic clock; tests step it by hand.
#pragma once

#include <algorithm>
#include <chrono>

namespace delvar::sim {

using SimTime = std::chrono::nanoseconds;  // since the simulator started

class SimClock {
  public:
    SimTime Now() const { return now_; }
    // Moves time forward to t; a t in the past changes nothing.
    void AdvanceTo(SimTime t) { now_ = std::max(now_, t); }
    void Advance(SimTime step) { AdvanceTo(now_ + step); }

  private:
    SimTime now_{0};
};

}  // namespace delvar::sim
