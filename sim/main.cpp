// delvar-sim: a simulated Delvar instrument speaking the real link frame.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "core/Version.h"
#include "sim/CommandHandler.h"
#include "sim/SetupLoader.h"
#include "sim/SimOptions.h"

namespace {
volatile std::sig_atomic_t gStop = 0;

void OnSignal(int) {
    gStop = 1;
}

void InstallSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a vanished client shows as a write error instead
}
}  // namespace

int main(int argc, char** argv) {
    using namespace delvar::sim;
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = ParseSimOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "delvar-sim: %s\n%s", error.c_str(), SimUsage().c_str());
        return 2;
    }
    if (options->help || options->version) {
        std::printf("%s",
                    options->help
                        ? SimUsage().c_str()
                        : (std::string("delvar-sim ") + delvar::core::kVersionText + "\n").c_str());
        return 0;
    }
    InstallSignalHandlers();
    Responder responder(options->model, options->faults.seed);
    if (!options->setupFile.empty()) {
        const LoadResult loaded = LoadSetupFile(options->setupFile, responder.Store());
        if (!loaded.opened) {
            std::fprintf(stderr, "delvar-sim: %s\n", loaded.error.c_str());
            return 1;
        }
        if (loaded.refused > 0)
            std::fprintf(stderr,
                         "delvar-sim: %d values of %s are out of range and were left at "
                         "their defaults\n",
                         loaded.refused, options->setupFile.c_str());
    }
    FaultInjector faults(options->faults);
    CommandHandler handler(responder, faults, options->speed);
    Server server(options->server, handler);
    if (!server.Start(error)) {
        std::fprintf(stderr, "delvar-sim: %s\n", error.c_str());
        return 1;
    }
    server.Run(gStop);
    return 0;
}
