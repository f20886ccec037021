// Command line of delvar-sim.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/FaultInjector.h"
#include "sim/Responder.h"
#include "sim/Server.h"

namespace delvar::sim {

struct SimOptions {
    ServerOptions server;
    InstrumentModel model;
    FaultOptions faults;
    double speed = 1.0;     // simulated seconds per real second
    std::string setupFile;  // the setup database the instrument starts with
    bool help = false;      // --help: print the usage and exit
    bool version = false;   // --version: print the version and exit
};

// Parses the arguments (without the program name); nothing and a reason on error.
// With neither --port nor --pty the simulator listens on TCP port 2101; with only
// --pty it does not listen on TCP at all.
std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string& error);

std::string SimUsage();

}  // namespace delvar::sim
