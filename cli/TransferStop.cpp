#include "cli/TransferStop.h"

#include <csignal>
#include <iostream>

#include "link/Frame.h"

namespace delvar::cli {

namespace {
volatile std::sig_atomic_t stopSignal = 0;
struct sigaction previousInt {
}, previousTerm{};

constexpr int kXstopAttempts = 3;

extern "C" void RecordStop(int signal) {
    stopSignal = signal;  // the only thing done here: async-signal-safe
}

const char* SignalName(int signal) {
    return signal == SIGINT ? "SIGINT" : "SIGTERM";
}
}  // namespace

TransferStop::TransferStop(link::Link& link) : link_(link) {
    stopSignal = 0;
    struct sigaction action {};
    action.sa_handler = RecordStop;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume; the handler runs once, then a second signal
    // has its default effect.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
    // The hook is told each command before its frame goes out, so throwing here
    // leaves nothing on the line. XSTOP itself always goes out.
    link_.OnCommand = [this](const std::string& command) {
        if (stopSignal != 0 && command != "XSTOP") throw TransferStopped{};
        if (command == "XSTART") locked_ = true;
    };
}

TransferStop::~TransferStop() {
    link_.OnCommand = nullptr;
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}

int TransferStop::Signal() const {
    return stopSignal;
}

int TransferStop::Finish() {
    const int signal = stopSignal;
    link_.OnCommand = nullptr;
    std::cerr << "delvar-cli: stopped by " << SignalName(signal);
    if (!locked_) {
        std::cerr << " before the transfer began\n";
        return 128 + signal;
    }
    // The refused command was never sent: nothing is waiting for a reply.
    link_.SetCommStatus(link::kOk);
    int status = link::kTimeout;
    for (int attempt = 0; attempt < kXstopAttempts; ++attempt) {
        // Ending transfer mode twice does no harm; staying in it blocks the instrument.
        link_.SendCommand("XSTOP");
        status = link_.CommStatus();
        if (status != link::kTimeout && status != link::kReceiveCrcError &&
            status != link::kTransmitCrcError)
            break;
    }
    if (status == link::kOk)
        std::cerr << "; XSTOP sent, the instrument has left transfer mode\n";
    else
        std::cerr << "; XSTOP failed (" << link::StatusText(status)
                  << "): run delvar-cli unlock once the instrument answers\n";
    return 128 + signal;
}

}  // namespace delvar::cli
