// delvar-cli: scripting access to the instrument over the program's own link.
#include <QCoreApplication>
#include <iostream>
#include <map>

#include "cli/CliOptions.h"
#include "cli/TransferStop.h"
#include "cli/Verbs.h"

namespace {
using namespace delvar::cli;
using Verb = int (*)(CliLink&, const std::vector<std::string>&);

// A transfer verb under SIGINT/SIGTERM handling: stopped, it still sends XSTOP.
int RunTransfer(Verb verb, CliLink& link, const std::vector<std::string>& args) {
    TransferStop stop(link.Get());
    int result = kExitFailed;
    try {
        result = verb(link, args);
    } catch (const TransferStopped&) {
    }
    return stop.Signal() != 0 ? stop.Finish() : result;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto options = ParseCliOptions(args, error);
    if (!options) {
        std::cerr << "delvar-cli: " << error << "\n" << UsageText();
        return kExitUsage;
    }
    if (options->help || options->version) {
        std::cout << (options->help ? UsageText() : VersionText());
        return kExitOk;
    }
    CliLink link(*options);
    static const std::map<std::string, Verb> kVerbs = {
        {"send", RunSend},         {"info", RunInfoVerb},         {"status", RunStatusVerb},
        {"watch", RunWatchVerb},   {"run", RunRunVerb},           {"power", RunPowerVerb},
        {"auto", RunAutoVerb},     {"select", RunSelectVerb},     {"unlock", RunUnlockVerb},
        {"upload", RunUploadVerb}, {"download", RunDownloadVerb}, {"db", RunDbVerb}};
    const auto verb = kVerbs.find(options->verb);
    if (verb == kVerbs.end()) {
        std::cerr << "delvar-cli: unknown verb " << options->verb << "\n" << UsageText();
        return kExitUsage;
    }
    if (verb->second == RunUploadVerb || verb->second == RunDownloadVerb)
        return RunTransfer(verb->second, link, options->args);
    return verb->second(link, options->args);
}
