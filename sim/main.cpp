// delvar-sim: a simulated Delvar instrument speaking the real link frame.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/SimOptions.h"

namespace {
volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) {
    gStop = 1;
}
}  // namespace

int main(int argc, char** argv) {
    using namespace delvar::sim;
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto options = ParseSimOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "delvar-sim: %s\n%s", error.c_str(), SimUsage());
        return 2;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);
    Responder responder(options->model);
    FaultInjector faults(options->faults);
    Server server(options->server, responder, faults);
    if (!server.Start(error)) {
        std::fprintf(stderr, "delvar-sim: %s\n", error.c_str());
        return 1;
    }
    server.Run(gStop);
    return 0;
}
