#include "cli/CliOptions.h"

#include "cli/CliNumbers.h"
#include "core/Version.h"

namespace delvar::cli {

namespace {
constexpr long kMaxRetries = 10;

bool SplitHostPort(const std::string& text, std::string& host, std::string& port) {
    auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return false;
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
    return NumberArgument<long>(port, 1, 65535).has_value();
}

int RateIndex(const std::string& baud) {
    for (std::size_t i = 0; i < link::kRateTable.size(); ++i)
        if (*link::kRateTable[i] != '\0' && baud == link::kRateTable[i]) return static_cast<int>(i);
    return -1;
}
}  // namespace

const char* UsageText() {
    return "usage: delvar-cli [LINK] [OPTIONS] VERB [ARGS]\n"
           "LINK (default --tcp 127.0.0.1:2101):\n"
           "  --tcp HOST:PORT\n"
           "  --serial DEVICE [--baud 19200|38400|57600|115200]\n"
           "                       any serial device: /dev/ttyUSB0, /dev/ttyACM0, a pty...\n"
           "  --usb SERIAL\n"
           "  --no-checksum        send zero check bytes\n"
           "OPTIONS:\n"
           "  --retries N          send a setup read or write lost on the line again, up to\n"
           "                       N times (0-10, default 0); never run, power or select\n"
           "  --progress           upload and download name each item on stderr\n"
           "  --help               print this text and exit\n"
           "  --version            print the version and exit\n"
           "VERBS:\n"
           "  send [--repeat N] COMMAND...   send each command, print each reply\n"
           "  info                           connect: version, channel count, CoDep\n"
           "  status [--json]                one poll: phase, time, process, layer, readings\n"
           "  watch [--seconds S] [--json]   the same every 500 ms (default 10 s)\n"
           "  run start|reset|start-layer|stop-layer|next-layer|zero\n"
           "  power OUTPUT PERCENT           manual power on output 1-4\n"
           "  auto                           every output back to automatic control\n"
           "  select PROCESS                 select process 1-99\n"
           "  unlock                         XSTOP: end the transfer mode an interrupted\n"
           "                                 transfer left (run, power, select: Bad Mode)\n"
           "  upload --db FILE [--processes] [--films] [--materials]\n"
           "                                 instrument setup into FILE (no selection: all)\n"
           "  download --db FILE [--processes] [--films] [--materials] [--save-before FILE]\n"
           "                                 FILE's setup to the instrument\n"
           "  db dump FILE                   the setup in FILE, one line per record\n"
           "  db version FILE                FILE's Version property\n"
           "JSON (--json): status prints one object, watch one object a line (JSON Lines,\n"
           "flushed after each line); messages stay on stderr. Keys:\n"
           "  time          local time, ISO 8601 with its offset\n"
           "  phase         phase code; phase_text its text\n"
           "  process, layer, elapsed_s\n"
           "  outputs       four objects (rate_A_s, deviation_pct, thickness_kA,\n"
           "                power_pct), null for an output not in use\n"
           "  sensors       four objects (rate_A_s, thickness_kA, frequency_Hz)\n"
           "A serial port the user may not open gets a message naming the remedy: membership\n"
           "of the dialout group (sudo adduser $USER dialout), then a new login.\n"
           "Exit status: 0 success, 1 the instrument refused or did not answer, 2 usage error.\n";
}

std::string VersionText() {
    return std::string("delvar-cli ") + core::kVersionText + "\n";
}

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& argv,
                                          std::string& error) {
    CliOptions options;
    options.comm.Type = link::kPortTcp;
    options.comm.EAddress = "127.0.0.1";
    options.comm.EPort = "2101";
    std::size_t i = 0;
    auto value = [&](const std::string& name) -> std::optional<std::string> {
        if (i + 1 >= argv.size()) {
            error = name + " needs a value";
            return std::nullopt;
        }
        return argv[++i];
    };
    for (; i < argv.size(); ++i) {
        const std::string& arg = argv[i];
        if (arg.rfind("--", 0) != 0) break;
        if (arg == "--tcp") {
            auto text = value(arg);
            if (!text) return std::nullopt;
            options.comm.Type = link::kPortTcp;
            if (!SplitHostPort(*text, options.comm.EAddress, options.comm.EPort)) {
                error = "--tcp needs HOST:PORT, got " + *text;
                return std::nullopt;
            }
        } else if (arg == "--serial") {
            auto text = value(arg);
            if (!text) return std::nullopt;
            if (text->empty()) {
                error = "--serial needs a device path";
                return std::nullopt;
            }
            options.comm.Type = link::kPortRs232;
            options.comm.RS232Port = 1;
            options.serialDevice = *text;
        } else if (arg == "--baud") {
            auto text = value(arg);
            if (!text) return std::nullopt;
            options.comm.RS232Baud = RateIndex(*text);
            if (options.comm.RS232Baud < 0) {
                error = "--baud must be 19200, 38400, 57600 or 115200";
                return std::nullopt;
            }
        } else if (arg == "--usb") {
            auto text = value(arg);
            if (!text) return std::nullopt;
            if (text->empty()) {
                error = "--usb needs the bridge's serial number";
                return std::nullopt;
            }
            options.comm.Type = link::kPortUsb;
            options.comm.USBDevice = *text;
        } else if (arg == "--no-checksum") {
            options.comm.CheckSum = 0;
        } else if (arg == "--retries") {
            auto text = value(arg);
            if (!text) return std::nullopt;
            const auto retries = NumberArgument<long>(*text, 0, kMaxRetries);
            if (!retries) {
                error = "--retries needs a count from 0 to " + std::to_string(kMaxRetries) +
                        ", not \"" + *text + "\"";
                return std::nullopt;
            }
            options.retries = int(*retries);
        } else if (arg == "--progress") {
            options.progress = true;
        } else if (arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    if (options.help || options.version) return options;
    if (i >= argv.size()) {
        error = "no verb given";
        return std::nullopt;
    }
    options.verb = argv[i];
    options.args.assign(argv.begin() + static_cast<std::ptrdiff_t>(i) + 1, argv.end());
    return options;
}

}  // namespace delvar::cli
