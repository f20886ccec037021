// Command line of delvar-cli: link options, then a verb and its arguments.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/CommSettings.h"

namespace delvar::cli {

struct CliOptions {
    link::CommSettings comm;
    std::string serialDevice;  // device path that port 1 stands for with --serial
    int retries = 0;           // Link::SetRetries
    bool progress = false;     // transfers name each item on stderr
    bool help = false;         // --help: print the usage and exit
    bool version = false;      // --version: print the version and exit
    std::string verb;
    std::vector<std::string> args;  // what follows the verb
};

// Parses argv (without the program name). On a usage error returns nothing and
// puts the reason in error.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& argv, std::string& error);

// The usage text printed on a usage error and by --help.
const char* UsageText();
// "delvar-cli <version>".
std::string VersionText();

}  // namespace delvar::cli
