// The instrument's digital inputs and relays. Inputs follow simulated chamber
// switches through their pin and level; relays are driven by the logic statements,
// scanned in order like a controller's ladder.
#pragma once

#include <array>

#include "sim/SetupStore.h"

namespace delvar::sim {

inline constexpr int kIoCount = 16;

// What the logic can see of the run besides inputs and relays.
struct RunView {
    int phase = 0;
    bool running = false;
};

class DigitalIo {
  public:
    // Works out every input, then every defined statement in turn (a relay driven by
    // two statements takes the later one's value).
    void Scan(const SetupStore& store, RunView run);
    long Input(int k) const { return Valid(k) ? inputs_[k - 1] : 0; }
    long Relay(int k) const { return Valid(k) ? relays_[k - 1] : 0; }

  private:
    static bool Valid(int k) { return k >= 1 && k <= kIoCount; }
    long Operand(long code, RunView run) const;

    std::array<long, kIoCount> inputs_{};
    std::array<long, kIoCount> relays_{};
};

// The simulated chamber's switch on a physical input pin: pin 1 "vacuum ready" and
// pin 2 "cooling water flowing" are closed, the others open.
bool PinClosed(long pin);

}  // namespace delvar::sim
