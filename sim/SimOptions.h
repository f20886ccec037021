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
};

// Parses the arguments (without the program name); nothing and a reason on error.
std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string& error);

const char* SimUsage();

}  // namespace delvar::sim
