// Stopping a transfer with SIGINT or SIGTERM. The instrument refuses run, power and
// select while it is in transfer mode (between XSTART and XSTOP), so a transfer must
// never end without XSTOP. The signal handler only records the signal; the exchange
// under way runs to its end (its reply, or its time-out), no further command goes
// out, and XSTOP is sent before the program exits. A second signal ends the program
// at once (for a line that does not answer at all).
#pragma once

#include "link/Link.h"

namespace delvar::cli {

// Thrown in place of a command that would go out after a stop signal.
struct TransferStopped {};

class TransferStop {
  public:
    // Installs the handlers and the link's command hook until destroyed.
    explicit TransferStop(link::Link& link);
    ~TransferStop();
    TransferStop(const TransferStop&) = delete;
    TransferStop& operator=(const TransferStop&) = delete;

    // The signal received, or 0.
    int Signal() const;
    // Sends XSTOP (again when it is lost on the line), says what happened on stderr
    // and returns the exit status 128 + the signal number.
    int Finish();

  private:
    link::Link& link_;
    bool locked_ = false;  // an XSTART has gone out
};

}  // namespace delvar::cli
