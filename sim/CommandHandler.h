// Turns one received command into what goes back on the line: the responder's
// reply (or "F" for a damaged command), framed and passed through the faults.
#pragma once

#include "sim/FaultInjector.h"
#include "sim/FrameDecoder.h"
#include "sim/Responder.h"

namespace delvar::sim {

struct Answer {
    bool silent = false;  // no reply at all
    Reply reply;          // what the instrument said
    ReplyPlan plan;       // its bytes as they go out (empty when silent)
};

class CommandHandler {
  public:
    CommandHandler(const Responder& responder, FaultInjector& faults)
        : responder_(responder), faults_(faults) {}

    Answer Handle(const DecodedCommand& command);

  private:
    const Responder& responder_;
    FaultInjector& faults_;
};

}  // namespace delvar::sim
