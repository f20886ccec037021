// Run-time verbs: status, watch, run, power, auto, select, unlock.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <map>
#include <memory>

#include "cli/CliNumbers.h"
#include "cli/ReadingsJson.h"
#include "cli/StderrDialogs.h"
#include "cli/Verbs.h"
#include "commands/modCommData.h"
#include "commands/modCommOperate.h"
#include "commands/modCommProcess.h"
#include "link/Connect.h"
#include "link/Frame.h"
#include "util/Format.h"
#include "util/Text.h"

namespace delvar::cli {

namespace {
using namespace delvar::commands;

int Failure(int status) {
    std::cerr << link::StatusText(status) << "\n";
    if (status == link::kBadMode)
        std::cerr << "(refused while a process runs, or while the instrument is still in "
                     "transfer mode after an interrupted transfer: delvar-cli unlock ends it)\n";
    return kExitFailed;
}

int StatusExit(link::Link& link) {
    return link.CommStatus() == link::kOk ? kExitOk : Failure(link.CommStatus());
}

void PrintReadings(std::int16_t phase, const RunReadings& r) {
    char line[160];
    std::printf("Phase: %s\n", PhaseName(phase));
    std::printf("Elapsed: %s\n", util::FormatHMS(r.status.ElapsedTime).c_str());
    std::printf("Process: %d\nLayer: %d\n", r.status.ProcessNumber, r.status.LayerNumber);
    for (std::size_t k = 0; k < r.outputs.size(); ++k) {
        const OutputReading& o = r.outputs[k];
        std::snprintf(
            line, sizeof line,
            "Output %zu: rate %.2f A/s, deviation %.1f %%, thickness %.3f kA, power %.1f %%", k + 1,
            o.Rate, o.Deviation, o.Thickness, o.Power);
        std::printf("%s\n", line);
    }
    for (std::size_t k = 0; k < r.sensors.size(); ++k) {
        const SensorReading& s = r.sensors[k];
        std::snprintf(line, sizeof line,
                      "Sensor %zu: rate %.2f A/s, thickness %.3f kA, frequency %.1f Hz", k + 1,
                      s.Rate, s.Thickness, s.Frequency);
        std::printf("%s\n", line);
    }
    std::fflush(stdout);
}

// One poll as the main window makes it: "V", then "K2", then "K1"; printed as text
// or as one JSON line, flushed so a reader sees each poll at once.
int PollOnce(link::Link& link, RunReadings& readings, bool json) {
    std::int16_t phase = Comm_GetStatus(link, readings.status);
    if (phase < 0) return StatusExit(link);
    if (Comm_GetSensorReadings(link, readings.sensors) != 0) return StatusExit(link);
    if (Comm_GetOutputReadings(link, readings.outputs) != 0) return StatusExit(link);
    if (json) {
        std::printf("%s\n", ReadingsJson(phase, readings, std::time(nullptr)).dump().c_str());
        std::fflush(stdout);
    } else {
        PrintReadings(phase, readings);
    }
    return kExitOk;
}

// Takes "--json" out of args; true when it was there.
bool TakeJsonFlag(std::vector<std::string>& args) {
    const auto at = std::ranges::find(args, "--json");
    if (at == args.end()) return false;
    args.erase(at);
    return true;
}
}  // namespace

int RunStatusVerb(CliLink& cli, const std::vector<std::string>& given) {
    std::vector<std::string> args = given;
    const bool json = TakeJsonFlag(args);
    if (!args.empty()) {
        std::cerr << "status takes only --json\n" << UsageText();
        return kExitUsage;
    }
    if (!cli.Open()) return kExitFailed;
    RunReadings readings;
    return PollOnce(cli.Get(), readings, json);
}

int RunWatchVerb(CliLink& cli, const std::vector<std::string>& given) {
    std::vector<std::string> args = given;
    const bool json = TakeJsonFlag(args);
    std::optional<double> seconds = 10.0;
    if (args.size() == 2 && args[0] == "--seconds")
        seconds = NumberArgument(args[1], 0.01, 1e7);
    else if (!args.empty())
        seconds.reset();
    if (!seconds) {
        std::cerr << "watch takes only --seconds S (0.01 to 10000000) and --json\n" << UsageText();
        return kExitUsage;
    }
    if (!cli.Open()) return kExitFailed;
    link::Link& link = cli.Get();
    StderrDialogs dialogs;
    link::NoWindowHost window;
    RunReadings readings;
    int result = kExitOk;
    bool reconnect = false;
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::duration<double>(*seconds);
    auto next = Clock::now();
    while (Clock::now() < end) {
        // As the main window's tick: a time-out makes the next tick connect again
        // (another client may have taken the instrument's one TCP connection).
        if (reconnect && !link::ConnectInstrument(link, dialogs, window, "Delvar Comm")) {
            std::cerr << "Off line\n";
            result = kExitFailed;
        } else {
            reconnect = false;
            if (PollOnce(link, readings, json) != kExitOk) {
                result = kExitFailed;
                reconnect = link.CommStatus() == link::kTimeout;
            }
            if (!json) std::printf("\n");
        }
        next = std::max(next + std::chrono::milliseconds(500), Clock::now());
        while (Clock::now() < next) link.Pump().ProcessEvents(next, true);
    }
    return result;
}

int RunRunVerb(CliLink& cli, const std::vector<std::string>& args) {
    static const std::map<std::string, RunCode> kCodes = {
        {"start", kStartProcess},   {"reset", kResetProcess},   {"start-layer", kStartLayer},
        {"stop-layer", kStopLayer}, {"next-layer", kNextLayer}, {"zero", kZeroThickness}};
    auto code = args.size() == 1 ? kCodes.find(args[0]) : kCodes.end();
    if (code == kCodes.end()) {
        std::cerr << "run needs one of start, reset, start-layer, stop-layer, next-layer, zero\n";
        return kExitUsage;
    }
    if (!cli.Open()) return kExitFailed;
    Comm_RunCommand(cli.Get(), code->second);
    return StatusExit(cli.Get());
}

int RunPowerVerb(CliLink& cli, const std::vector<std::string>& args) {
    const auto output = args.size() == 2 ? NumberArgument(args[0], 1L, 4L) : std::nullopt;
    const auto percent = args.size() == 2 ? NumberArgument(args[1], 0.0, 100.0) : std::nullopt;
    if (!output || !percent) {
        std::cerr << "power needs OUTPUT (1-4) and PERCENT (0-100)\n";
        return kExitUsage;
    }
    if (!cli.Open()) return kExitFailed;
    Comm_SetPower(cli.Get(), static_cast<std::int16_t>(*output), *percent);
    return StatusExit(cli.Get());
}

int RunAutoVerb(CliLink& cli, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::cerr << "auto takes no arguments\n";
        return kExitUsage;
    }
    if (!cli.Open()) return kExitFailed;
    Comm_SetPower(cli.Get(), 0, 0);
    return StatusExit(cli.Get());
}

int RunSelectVerb(CliLink& cli, const std::vector<std::string>& args) {
    const auto number = args.size() == 1 ? NumberArgument(args[0], 1L, 99L) : std::nullopt;
    if (!number) {
        std::cerr << "select needs a process number 1-99\n";
        return kExitUsage;
    }
    const long process = *number;
    if (!cli.Open()) return kExitFailed;
    auto setup = std::make_unique<setup::SetupData>();
    setup::ResetSetupData(*setup);
    // The selection's own outcome decides the exit status; the read-back then shows
    // what the instrument holds for that process.
    int result = Comm_SendSelectProcess(cli.Get(), std::int16_t(process));
    if (result == link::kOk) result = ReadProcess(cli.Get(), *setup, int(process), 0);
    if (result != link::kOk) return Failure(result);
    const auto& selected = setup->processes[int(process)];
    std::printf("Process %ld: %s (%d layers)\n", process, util::Trim(selected.Process_Name).c_str(),
                selected.Number_Layers);
    return kExitOk;
}

// unlock: XSTOP, for a transfer that ended without it (killed, crashed, line lost).
int RunUnlockVerb(CliLink& cli, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::cerr << "unlock takes no arguments\n";
        return kExitUsage;
    }
    if (!cli.Open()) return kExitFailed;
    cli.Get().SendCommand("XSTOP");
    return StatusExit(cli.Get());
}

}  // namespace delvar::cli
