// Opening the simulator's endpoints: a loopback TCP listener and a pseudo-terminal
// reachable through a symbolic link.
#pragma once

#include <string>

#include "sim/UniqueFd.h"

namespace delvar::sim {

// A listening socket on 127.0.0.1:port (0 picks a free port); boundPort gets the
// port actually bound. Invalid and a reason on error.
UniqueFd ListenLoopback(int port, int& boundPort, std::string& error);

// Accepts one waiting client as a non-blocking socket with Nagle's delay off, so a
// reply leaves at once. Invalid when nobody is waiting.
UniqueFd AcceptClient(int listenFd);

// A pty whose slave end is reached through a symbolic link. The simulator keeps its
// own slave descriptor open so the master never sees a hang-up when a client closes
// the device, and the line keeps its raw settings between clients.
class Pty {
  public:
    Pty() = default;
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // Makes the pty (raw, non-blocking master) and the link at linkPath. An existing
    // symbolic link there is replaced; any other file is left alone and is an error.
    bool Open(const std::string& linkPath, std::string& error);
    int Master() const { return master_.Get(); }
    const std::string& SlaveName() const { return slaveName_; }
    const std::string& LinkPath() const { return linkPath_; }

  private:
    void RemoveLink();

    UniqueFd master_;
    UniqueFd slave_;
    std::string slaveName_;
    std::string linkPath_;  // set once the link is made, so only ours is removed
};

}  // namespace delvar::sim
