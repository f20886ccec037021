#include "sim/SimOptions.h"

#include "util/Text.h"

namespace delvar::sim {

const char* SimUsage() {
    return "usage: delvar-sim [--port N] [--pty PATH] [--firmware X.YY] [--codep]\n"
           "                  [--channels 1|2|4] [--seed N] [--verbose]\n"
           "                  [--silent-every N] [--corrupt-every N] [--damage-every N]\n"
           "                  [--garbage-every N] [--split] [--drop-after N]\n"
           "Listens on 127.0.0.1:2101 unless only --pty is given; --port 0 picks a free port.\n";
}

std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args,
                                          std::string& error) {
    SimOptions options;
    bool portGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto next = [&]() -> const std::string* {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return nullptr;
            }
            return &args[++i];
        };
        auto number = [&](long low, long high, long& out) {
            const std::string* text = next();
            if (!text) return false;
            if (!util::ParseWholeNumber(*text, out) || out < low || out > high) {
                error = arg + " needs a number from " + std::to_string(low) + " to " +
                        std::to_string(high) + ", got " + *text;
                return false;
            }
            return true;
        };
        long value = 0;
        if (arg == "--port") {
            if (!number(0, 65535, value)) return std::nullopt;
            options.server.port = int(value);
            portGiven = true;
        } else if (arg == "--pty") {
            const std::string* path = next();
            if (!path) return std::nullopt;
            options.server.ptyPath = *path;
        } else if (arg == "--firmware") {
            const std::string* text = next();
            if (!text) return std::nullopt;
            options.model.firmware = *text;
        } else if (arg == "--codep") {
            options.model.codep = true;
        } else if (arg == "--channels") {
            if (!number(1, 4, value)) return std::nullopt;
            if (value == 3) {
                error = "--channels must be 1, 2 or 4";
                return std::nullopt;
            }
            options.model.channels = int(value);
        } else if (arg == "--seed") {
            if (!number(0, 4294967295L, value)) return std::nullopt;
            options.faults.seed = std::uint32_t(value);
        } else if (arg == "--verbose") {
            options.server.verbose = true;
        } else if (arg == "--split") {
            options.faults.split = true;
        } else if (arg == "--silent-every" || arg == "--corrupt-every" || arg == "--damage-every" ||
                   arg == "--garbage-every" || arg == "--drop-after") {
            if (!number(1, 1000000000, value)) return std::nullopt;
            int n = int(value);
            if (arg == "--silent-every") options.faults.silentEvery = n;
            if (arg == "--corrupt-every") options.faults.corruptEvery = n;
            if (arg == "--damage-every") options.faults.damageEvery = n;
            if (arg == "--garbage-every") options.faults.garbageEvery = n;
            if (arg == "--drop-after") options.faults.dropAfter = n;
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    options.server.tcp = portGiven || options.server.ptyPath.empty();
    return options;
}

}  // namespace delvar::sim
