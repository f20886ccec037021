#include "sim/SimOptions.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "link/Frame.h"
#include "util/Text.h"

namespace delvar::sim {

namespace {
// "DELVAR", the model character and " Ver " come before the firmware in the version
// reply, which must fit one reply frame (255 - 35 message characters, status included).
constexpr std::size_t kVersionPrefix = 12;
constexpr std::size_t kMaxFirmware = 255 - link::kReplyLengthBias - 1 - kVersionPrefix;
constexpr long kMaxCount = 1000000000;
constexpr long kMinBaud = 50;
constexpr long kMaxBaud = 4000000;

// The firmware text ends the version reply after a space, so it has no blanks of its
// own, and it holds no "!" (that would restart the frame at the receiver).
bool ValidFirmware(const std::string& text) {
    return !text.empty() && text.size() <= kMaxFirmware &&
           std::all_of(text.begin(), text.end(), [](char ch) {
               return ch > ' ' && ch < 0x7F && ch != char(link::kSyncByte);
           });
}

bool ParseSpeed(const std::string& text, double& out) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(value >= 0.01 && value <= 10000))
        return false;
    out = value;
    return true;
}

// Walks the argument list, handing out option values with their checks.
class ArgReader {
  public:
    ArgReader(const std::vector<std::string>& args, std::string& error)
        : args_(args), error_(error) {}
    bool Done() const { return i_ >= args_.size(); }
    const std::string& Next() { return args_[i_++]; }
    const std::string* Value(const std::string& option) {
        if (Done()) {
            error_ = option + " needs a value";
            return nullptr;
        }
        return &Next();
    }
    bool Number(const std::string& option, long low, long high, long& out) {
        const std::string* text = Value(option);
        if (!text) return false;
        if (!util::ParseWholeNumber(*text, out) || out < low || out > high) {
            error_ = option + " needs a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not \"" + *text + "\"";
            return false;
        }
        return true;
    }

  private:
    const std::vector<std::string>& args_;
    std::string& error_;
    std::size_t i_ = 0;
};
}  // namespace

std::string SimUsage() {
    std::string text =
        "usage: delvar-sim [options]\n"
        "  --port N           listen on 127.0.0.1:N (default 2101; 0 picks a free port)\n"
        "  --pty PATH         serve a pseudo-terminal linked at PATH (alone: no TCP)\n"
        "  --baud N           pace the pty at N baud, 10 bits a byte, in real time\n"
        "  --firmware X       firmware version text (default 6.30)\n"
        "  --codep            the CoDep model\n"
        "  --channels 1|2|4   source outputs (default 4)\n"
        "  --setup FILE       start with the setup held in a setup database file\n"
        "  --speed F          run simulated time F times faster (0.01 to 10000, default 1)\n"
        "  --seed N           seed of the fault schedule and the physics noise (default 1)\n"
        "  --verbose          log each command and reply to stderr\n";
    for (const FailureModeInfo& mode : kFailureModes) {
        std::string option(mode.option);
        if (mode.takesCount) option += " N";
        option.resize(std::max<std::size_t>(option.size() + 1, 19), ' ');
        text += "  " + option + std::string(mode.help) + "\n";
    }
    text +=
        "Fault counts run over the program's life, across connections.\n"
        "  --help             print this text and exit\n"
        "  --version          print the version and exit\n"
        "Unknown options are a usage error (exit status 2).\n";
    return text;
}

std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args,
                                          std::string& error) {
    SimOptions options;
    bool portGiven = false;
    ArgReader reader(args, error);
    while (!reader.Done()) {
        const std::string& arg = reader.Next();
        long value = 0;
        const auto mode = std::find_if(kFailureModes.begin(), kFailureModes.end(),
                                       [&](const FailureModeInfo& m) { return m.option == arg; });
        if (mode != kFailureModes.end()) {
            if (mode->takesCount && !reader.Number(arg, 1, kMaxCount, value)) return std::nullopt;
            options.faults[mode->mode] = mode->takesCount ? int(value) : 1;
        } else if (arg == "--port") {
            if (!reader.Number(arg, 0, 65535, value)) return std::nullopt;
            options.server.port = int(value);
            portGiven = true;
        } else if (arg == "--pty") {
            const std::string* path = reader.Value(arg);
            if (!path) return std::nullopt;
            if (path->empty()) {
                error = "--pty needs a path";
                return std::nullopt;
            }
            options.server.ptyPath = *path;
        } else if (arg == "--baud") {
            if (!reader.Number(arg, kMinBaud, kMaxBaud, value)) return std::nullopt;
            options.server.baud = int(value);
        } else if (arg == "--firmware") {
            const std::string* text = reader.Value(arg);
            if (!text) return std::nullopt;
            if (!ValidFirmware(*text)) {
                error = "--firmware needs 1 to " + std::to_string(kMaxFirmware) +
                        " printable characters without blanks or \"!\", not \"" + *text + "\"";
                return std::nullopt;
            }
            options.model.firmware = *text;
        } else if (arg == "--codep") {
            options.model.codep = true;
        } else if (arg == "--channels") {
            if (!reader.Number(arg, 1, 4, value)) return std::nullopt;
            if (value == 3) {
                error = "--channels must be 1, 2 or 4";
                return std::nullopt;
            }
            options.model.channels = int(value);
        } else if (arg == "--seed") {
            if (!reader.Number(arg, 0, std::numeric_limits<std::uint32_t>::max(), value))
                return std::nullopt;
            options.faults.seed = std::uint32_t(value);
        } else if (arg == "--setup") {
            const std::string* path = reader.Value(arg);
            if (!path) return std::nullopt;
            if (path->empty()) {
                error = "--setup needs a file";
                return std::nullopt;
            }
            options.setupFile = *path;
        } else if (arg == "--speed") {
            const std::string* text = reader.Value(arg);
            if (!text) return std::nullopt;
            if (!ParseSpeed(*text, options.speed)) {
                error = "--speed needs a number from 0.01 to 10000, not \"" + *text + "\"";
                return std::nullopt;
            }
        } else if (arg == "--verbose") {
            options.server.verbose = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    if (options.server.baud > 0 && options.server.ptyPath.empty()) {
        error = "--baud paces the pseudo-terminal: give --pty too";
        return std::nullopt;
    }
    options.server.tcp = portGiven || options.server.ptyPath.empty();
    return options;
}

}  // namespace delvar::sim
