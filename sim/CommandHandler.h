// Turns one received command into what goes back on the line: the responder's
// reply (or "F" for a damaged command), framed and passed through the faults.
// Before answering it brings the instrument's simulated time up to the moment the
// command arrived, scaled by the speed factor.
#pragma once

#include "sim/FaultInjector.h"
#include "sim/FrameDecoder.h"
#include "sim/Responder.h"
#include "sim/SimClock.h"

namespace delvar::sim {

struct Answer {
    bool silent = false;  // no reply at all
    Reply reply;          // what the instrument said
    ReplyPlan plan;       // its bytes as they go out (empty when silent)
};

class CommandHandler {
  public:
    CommandHandler(Responder& responder, FaultInjector& faults, double speed = 1.0)
        : responder_(responder), faults_(faults), speed_(speed) {}

    Answer Handle(const DecodedCommand& command, SimTime now = SimTime{0});

  private:
    Responder& responder_;
    FaultInjector& faults_;
    double speed_;
};

}  // namespace delvar::sim
