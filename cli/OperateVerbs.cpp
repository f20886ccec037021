// Run-time verbs: status, watch, run, power, auto, select, info.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>

#include "cli/Verbs.h"
#include "commands/modCommData.h"
#include "commands/modCommOperate.h"
#include "commands/modCommProcess.h"
#include "link/Frame.h"
#include "util/Format.h"
#include "util/Text.h"

namespace delvar::cli {

namespace {
using namespace delvar::commands;

int StatusExit(link::Link& link) {
    if (link.CommStatus() == link::kOk) return kExitOk;
    std::cerr << link::StatusText(link.CommStatus()) << "\n";
    return kExitFailed;
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

// One poll as the main window makes it: "V", then "K2", then "K1".
int PollOnce(link::Link& link, RunReadings& readings) {
    std::int16_t phase = Comm_GetStatus(link, readings.status);
    if (phase < 0) return StatusExit(link);
    if (Comm_GetSensorReadings(link, readings.sensors) != 0) return StatusExit(link);
    if (Comm_GetOutputReadings(link, readings.outputs) != 0) return StatusExit(link);
    PrintReadings(phase, readings);
    return kExitOk;
}

bool ParseNumber(const std::string& text, long low, long high, long& value) {
    return util::ParseWholeNumber(text, value) && value >= low && value <= high;
}
}  // namespace

int RunStatusVerb(CliLink& cli, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::cerr << "status takes no arguments\n" << UsageText();
        return kExitUsage;
    }
    if (!cli.Open()) return kExitFailed;
    RunReadings readings;
    return PollOnce(cli.Get(), readings);
}

int RunWatchVerb(CliLink& cli, const std::vector<std::string>& args) {
    double seconds = 10;
    if (args.size() == 2 && args[0] == "--seconds") {
        seconds = util::LeadingNumber(args[1]);
    } else if (!args.empty()) {
        std::cerr << "watch takes only --seconds S\n" << UsageText();
        return kExitUsage;
    }
    if (!cli.Open()) return kExitFailed;
    RunReadings readings;
    int result = kExitOk;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    auto next = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() < end) {
        if (PollOnce(cli.Get(), readings) != kExitOk) result = kExitFailed;
        std::printf("\n");
        next += std::chrono::milliseconds(500);
        while (std::chrono::steady_clock::now() < next) cli.Get().Pump().ProcessEvents(next, true);
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
    long output = 0;
    if (args.size() != 2 || !ParseNumber(args[0], 1, 4, output)) {
        std::cerr << "power needs OUTPUT (1-4) and PERCENT\n";
        return kExitUsage;
    }
    double percent = util::LeadingNumber(args[1]);
    if (percent < 0 || percent > 100) {
        std::cerr << "power must be 0 to 100 percent\n";
        return kExitUsage;
    }
    if (!cli.Open()) return kExitFailed;
    Comm_SetPower(cli.Get(), static_cast<std::int16_t>(output), percent);
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
    long process = 0;
    if (args.size() != 1 || !ParseNumber(args[0], 1, 99, process)) {
        std::cerr << "select needs a process number 1-99\n";
        return kExitUsage;
    }
    if (!cli.Open()) return kExitFailed;
    auto setup = std::make_unique<setup::SetupData>();
    setup::ResetSetupData(*setup);
    // The selection's own outcome decides the exit status; the read-back then shows
    // what the instrument holds for that process.
    int result = Comm_SendSelectProcess(cli.Get(), std::int16_t(process));
    if (result == link::kOk) result = ReadProcess(cli.Get(), *setup, int(process), 0);
    if (result != link::kOk) {
        std::cerr << link::StatusText(result) << "\n";
        return kExitFailed;
    }
    const auto& selected = setup->processes[int(process)];
    std::printf("Process %ld: %s (%d layers)\n", process, util::Trim(selected.Process_Name).c_str(),
                selected.Number_Layers);
    return kExitOk;
}

}  // namespace delvar::cli
