#include "integration/CliRun.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace delvar::testing {

namespace {
std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

CliResult RunCli(const std::string& arguments) {
    char dir[] = "/tmp/delvar-cli-XXXXXX";
    std::string base = mkdtemp(dir);
    std::string command = std::string(DELVAR_CLI_PATH) + " " + arguments + " >" + base + "/out 2>" +
                          base + "/err </dev/null";
    int status = std::system(command.c_str());
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = Slurp(base + "/out");
    result.err = Slurp(base + "/err");
    std::system(("rm -rf " + base).c_str());
    return result;
}

std::string Tcp(const SimProcess& sim) {
    return "--tcp 127.0.0.1:" + std::to_string(sim.tcpPort());
}

}  // namespace delvar::testing
