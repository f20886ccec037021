// The simulator's transports: a loopback TCP listener (one client at a time; a new
// client replaces the current one) and a pseudo-terminal, served by one poll() loop.
#pragma once

#include <chrono>
#include <csignal>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "sim/FaultInjector.h"
#include "sim/FrameDecoder.h"
#include "sim/Responder.h"

namespace delvar::sim {

struct ServerOptions {
    bool tcp = true;
    int port = 2101;      // 0 picks a free port
    std::string ptyPath;  // empty: no pseudo-terminal
    bool verbose = false;
};

class Server {
  public:
    Server(ServerOptions options, Responder& responder, FaultInjector& faults);
    ~Server();

    // Opens the endpoints and prints one line per endpoint, then "delvar-sim ready".
    bool Start(std::string& error);
    // Serves until stop becomes non-zero.
    void Run(const volatile std::sig_atomic_t& stop);

  private:
    using Clock = std::chrono::steady_clock;
    struct Pending {
        Clock::time_point due;
        std::vector<std::uint8_t> bytes;
        bool dropAfter = false;
    };
    struct Endpoint {
        int fd = -1;
        bool isTcp = false;
        bool muted = false;  // a dropped pty stops answering
        FrameDecoder decoder;
        std::deque<Pending> outgoing;
    };

    bool StartTcp(std::string& error);
    bool StartPty(std::string& error);
    void Accept();
    void ReadFrom(Endpoint& endpoint);
    void Answer(Endpoint& endpoint, const DecodedCommand& command);
    void Flush(Endpoint& endpoint);
    void CloseClient();
    int PollTimeoutMs() const;

    ServerOptions options_;
    Responder& responder_;
    FaultInjector& faults_;
    int listenFd_ = -1;
    int ptySlaveFd_ = -1;  // held open so the master never sees a hang-up
    std::unique_ptr<Endpoint> client_;
    std::unique_ptr<Endpoint> pty_;
};

}  // namespace delvar::sim
