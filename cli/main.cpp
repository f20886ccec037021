// delvar-cli: scripting access to the instrument over the program's own link.
#include <QCoreApplication>
#include <iostream>
#include <map>

#include "cli/CliOptions.h"
#include "cli/Verbs.h"

int main(int argc, char** argv) {
    using namespace delvar::cli;
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto options = ParseCliOptions(args, error);
    if (!options) {
        std::cerr << "delvar-cli: " << error << "\n" << UsageText();
        return kExitUsage;
    }
    CliLink link(*options);
    using Verb = int (*)(CliLink&, const std::vector<std::string>&);
    static const std::map<std::string, Verb> kVerbs = {
        {"send", RunSend},         {"info", RunInfoVerb},
        {"status", RunStatusVerb}, {"watch", RunWatchVerb},
        {"run", RunRunVerb},       {"power", RunPowerVerb},
        {"auto", RunAutoVerb},     {"select", RunSelectVerb},
        {"upload", RunUploadVerb}, {"download", RunDownloadVerb},
        {"db", RunDbVerb}};
    if (auto verb = kVerbs.find(options->verb); verb != kVerbs.end())
        return verb->second(link, options->args);
    std::cerr << "delvar-cli: unknown verb " << options->verb << "\n" << UsageText();
    return kExitUsage;
}
