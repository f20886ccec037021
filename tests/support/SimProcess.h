// Starts delvar-sim as a child process for a test or a benchmark and stops it again.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace delvar::testing {

struct SimOptions {
    bool tcp = true;   // listen on a free loopback port
    bool pty = false;  // make a pseudo-terminal in a fresh temporary folder
    std::vector<std::string> extraArgs;
};

class SimProcess {
  public:
    // Starts the simulator and waits until it reports ready. Throws std::runtime_error
    // when it cannot be started, exits first, or is not ready within 5 s.
    SimProcess(const std::string& simPath, const SimOptions& options);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    int tcpPort() const { return port_; }                    // 0 without TCP
    const std::string& ptyPath() const { return ptyPath_; }  // empty without a pty
    pid_t pid() const { return pid_; }

  private:
    std::string AwaitReady(int outFd);
    void Stop();

    pid_t pid_ = -1;
    int port_ = 0;
    std::string ptyPath_;
    std::string tempDir_;
};

}  // namespace delvar::testing
