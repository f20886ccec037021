// send [--repeat N] COMMAND...: each command exactly as given, nothing before it.
#include <algorithm>
#include <chrono>
#include <iostream>

#include "cli/CliNumbers.h"
#include "cli/Verbs.h"
#include "link/Frame.h"

namespace delvar::cli {

namespace {
constexpr long kMaxRepeat = 1000000;
}  // namespace

int RunSend(CliLink& cli, const std::vector<std::string>& args) {
    long repeat = 1;
    std::vector<std::string> commands;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--repeat" && commands.empty()) {
            const auto count =
                i + 1 < args.size() ? NumberArgument(args[i + 1], 1L, kMaxRepeat) : std::nullopt;
            if (!count) {
                std::cerr << "--repeat needs a count from 1 to " << kMaxRepeat << "\n"
                          << UsageText();
                return kExitUsage;
            }
            repeat = *count;
            ++i;
        } else {
            commands.push_back(args[i]);
        }
    }
    if (commands.empty()) {
        std::cerr << "send needs at least one command\n" << UsageText();
        return kExitUsage;
    }
    if (!cli.Open()) return kExitFailed;

    link::Link& link = cli.Get();
    std::vector<long long> micros;
    bool allOk = true;
    for (const auto& command : commands) {
        for (long n = 0; n < repeat; ++n) {
            auto start = std::chrono::steady_clock::now();
            std::string reply = link.SendCommand(command);
            auto elapsed = std::chrono::steady_clock::now() - start;
            micros.push_back(
                std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count());
            std::cout << reply << "\n";
            if (link.CommStatus() != link::kOk) {
                std::cerr << link::StatusText(link.CommStatus()) << "\n";
                allOk = false;
            }
        }
    }
    std::cout.flush();
    if (repeat > 1) {
        std::vector<long long> sorted = micros;
        std::sort(sorted.begin(), sorted.end());
        std::cerr << "exchanges: " << sorted.size() << ", median: " << sorted[sorted.size() / 2]
                  << " us, max: " << sorted.back() << " us\n";
    }
    return allOk ? kExitOk : kExitFailed;
}

}  // namespace delvar::cli
