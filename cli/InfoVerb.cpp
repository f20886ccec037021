// info: the whole connect, then what it learnt of the instrument.
#include <iostream>

#include "cli/StderrDialogs.h"
#include "cli/Verbs.h"
#include "link/Connect.h"

namespace delvar::cli {

int RunInfoVerb(CliLink& cli, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::cerr << "info takes no arguments\n" << UsageText();
        return kExitUsage;
    }
    StderrDialogs dialogs;
    link::NoWindowHost window;
    link::Link& link = cli.Get();
    if (!link::ConnectInstrument(link, dialogs, window, "Delvar Comm")) {
        cli.ExplainSerialAccess();
        std::cerr << "Off line\n";
        return kExitFailed;
    }
    const link::InstrumentInfo& info = link.Info();
    std::cout << "Version: " << info.VersionText << "\n"
              << "Channels: " << info.ChannelCount << "\n"
              << "CoDep: " << (info.CoDep ? "yes" : "no") << "\n";
    return kExitOk;
}

}  // namespace delvar::cli
