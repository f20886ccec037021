#include "app/ProgramOptions.h"

#include <charconv>
#include <cmath>

#include "core/Version.h"

namespace delvar::app {

namespace {

bool ParseSpeed(const std::string& text, double& speed) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, speed);
    return ec == std::errc() && ptr == end && std::isfinite(speed) && speed >= 0.01 &&
           speed <= 1000;
}

}  // namespace

std::optional<ProgramOptions> ParseProgramOptions(const std::vector<std::string>& args,
                                                  std::string& error) {
    ProgramOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string text;
        if (a == "--simulator") {
            options.simulator = true;
        } else if (a == "--setup") {
            if (!value(options.setupFile)) return std::nullopt;
        } else if (a == "--screenshots") {
            if (!value(options.screenshots)) return std::nullopt;
        } else if (a == "--settings") {
            if (!value(options.settingsFolder)) return std::nullopt;
        } else if (a == "--speed") {
            if (!value(text)) return std::nullopt;
            if (!ParseSpeed(text, options.speed)) {
                error = "--speed takes a number from 0.01 to 1000, not " + text;
                return std::nullopt;
            }
        } else if (a == "--help" || a == "-h") {
            options.help = true;
        } else if (a == "--version") {
            options.version = true;
        } else {
            error = "unknown argument " + a;
            return std::nullopt;
        }
    }
    if ((!options.setupFile.empty() || options.speed != 1.0) && !options.simulator) {
        error = "--setup and --speed need --simulator";
        return std::nullopt;
    }
    if (!options.screenshots.empty() && !options.simulator) {
        error = "--screenshots needs --simulator";
        return std::nullopt;
    }
    return options;
}

std::string ProgramUsage() {
    return "usage: delvar-comm [--simulator [--setup FILE] [--speed F] [--screenshots DIR]]\n"
           "                   [--settings DIR]\n"
           "  --simulator        run on the built-in simulated instrument (the saved\n"
           "                     communication settings are left alone)\n"
           "  --setup FILE       the setup database the simulated instrument starts from\n"
           "                     (default: the demo setup installed with the program)\n"
           "  --speed F          run simulated time F times faster (0.01 to 1000)\n"
           "  --screenshots DIR  start the first process, save pictures of every window\n"
           "                     into DIR during the deposition, then quit\n"
           "  --settings DIR     keep \"Delvar Comm.ini\" in DIR\n"
           "  --help             print this text and exit\n"
           "  --version          print the version and exit\n"
           "Without --settings the settings file \"Delvar Comm.ini\" lives beside the program\n"
           "when that folder can be written, else (and always when installed) in\n"
           "~/.config/Delvar/Delvar Comm/; the setup database Delvar.mdb and the data log "
           "Delvar.txt\n"
           "go beside it. Unknown options are a usage error (exit status 2).\n";
}

std::string ProgramVersion(const char* program) {
    return std::string(program) + " " + core::kVersionText + "\n";
}

}  // namespace delvar::app
