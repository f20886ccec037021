// The command line of delvar-comm.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace delvar::app {

struct ProgramOptions {
    bool simulator = false;  // --simulator: run on the built-in simulated instrument
    std::string setupFile;   // --setup FILE: the setup it starts from
    double speed = 1.0;  // --speed F: simulated time (instrument, graphs, log, poll) F times faster
    std::string screenshots;     // --screenshots DIR: run a deposition, save pictures, quit
    std::string settingsFolder;  // --settings DIR: read and write "Delvar Comm.ini" there
    bool help = false;           // --help: print the usage and exit
    bool version = false;        // --version: print the version and exit
};

// Parses the arguments after the program name; nothing and a reason on error.
std::optional<ProgramOptions> ParseProgramOptions(const std::vector<std::string>& args,
                                                  std::string& error);
std::string ProgramUsage();
// "delvar-comm <version>" and a line for each of --help and --version (help2man reads it).
std::string ProgramVersion(const char* program);

}  // namespace delvar::app
