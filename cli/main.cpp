// delvar-cli: scripting access to the instrument over the program's own link.
#include <QCoreApplication>
#include <iostream>

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
    if (options->verb == "send") return RunSend(link, options->args);
    std::cerr << "delvar-cli: unknown verb " << options->verb << "\n" << UsageText();
    return kExitUsage;
}
