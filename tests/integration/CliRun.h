// Runs delvar-cli as a child process and collects what it printed.
#pragma once

#include <string>

#include "support/SimProcess.h"

namespace delvar::testing {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// arguments are passed through the shell as they stand.
CliResult RunCli(const std::string& arguments);
// "--tcp 127.0.0.1:<port>" for the simulator.
std::string Tcp(const SimProcess& sim);

}  // namespace delvar::testing
