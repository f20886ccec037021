// Runs delvar-cli as a child process and collects what it printed.
#pragma once

#include <sys/types.h>

#include <string>

#include "support/SimProcess.h"

namespace delvar::testing {

struct CliResult {
    int exitCode = -1;  // -1 when it did not exit by itself (killed by a signal)
    std::string out;
    std::string err;
};

// A running delvar-cli (or the program given); arguments pass through the shell as
// they stand.
class CliChild {
  public:
    explicit CliChild(const std::string& arguments, const std::string& program = DELVAR_CLI_PATH);
    ~CliChild();  // kills it if it still runs
    CliChild(const CliChild&) = delete;
    CliChild& operator=(const CliChild&) = delete;

    std::string Out() const;
    std::string Err() const;
    // Waits until stdout (stderr) holds text count times; false after 30 s or when
    // the program ended without printing it.
    bool AwaitOut(const std::string& text, std::size_t count = 1);
    bool AwaitErr(const std::string& text, std::size_t count = 1);
    void Signal(int signal) const;
    CliResult Finish();  // waits for the exit

  private:
    bool Await(bool err, const std::string& text, std::size_t count);
    std::string dir_;
    pid_t pid_ = -1;
    int status_ = -1;  // as waitpid gave it
};

CliResult RunCli(const std::string& arguments);
// Runs program (a path, or a command line such as "setpriv ... path") with arguments.
CliResult RunProgram(const std::string& program, const std::string& arguments);
std::size_t Occurrences(const std::string& text, const std::string& what);
// "--tcp 127.0.0.1:<port>" for the simulator.
std::string Tcp(const SimProcess& sim);

}  // namespace delvar::testing
