// The simulator's transports served by one poll() loop: a loopback TCP listener and
// a pseudo-terminal. TCP takes one client at a time: a newly accepted client
// replaces the current one, whose unsent replies are discarded (a test that opens
// a fresh link never waits behind a forgotten one). The pty may be paced at a serial
// line rate in both directions, in real time, as a real instrument's line is.
#pragma once

#include <chrono>
#include <csignal>
#include <memory>
#include <optional>
#include <string>

#include "sim/CommandHandler.h"
#include "sim/FrameDecoder.h"
#include "sim/OutgoingQueue.h"
#include "sim/SimClock.h"
#include "sim/Transports.h"
#include "sim/UniqueFd.h"

namespace delvar::sim {

struct ServerOptions {
    bool tcp = true;
    int port = 2101;      // 0 picks a free port
    std::string ptyPath;  // empty: no pseudo-terminal
    int baud = 0;         // the pty's line rate; 0: bytes cross at once
    bool verbose = false;
    bool quiet = false;  // no endpoint lines on stdout (a simulator inside another program)
};

class Server {
  public:
    Server(ServerOptions options, CommandHandler& handler);

    // Opens the endpoints and prints one line per endpoint, then "delvar-sim ready".
    bool Start(std::string& error);
    // Serves until stop becomes non-zero (set by a signal handler).
    void Run(const volatile std::sig_atomic_t& stop);
    int TcpPort() const { return tcpPort_; }  // the listening port once started

  private:
    struct Connection {
        int fd = -1;
        bool isTcp = false;
        bool muted = false;          // a dropped pty line stops answering
        bool awaitWritable = false;  // the socket's buffer is full: wait for POLLOUT
        FrameDecoder decoder;
        OutgoingQueue outgoing;
        LinePacer in, out;  // a paced pty: the time bytes take on the wire
    };

    SimTime Tick();  // advances the simulator clock to the present
    void Accept();
    void ReadFrom(Connection& line);
    void Respond(Connection& line, const DecodedCommand& command, SimTime received);
    void Flush(Connection& line);
    void WriteTcp(Connection& line);
    void WritePty(Connection& line);
    void DropClient(const char* why);
    std::optional<SimTime> NextDue() const;
    void Log(const std::string& text) const;

    ServerOptions options_;
    CommandHandler& handler_;
    SimClock clock_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    int tcpPort_ = 0;
    UniqueFd listener_;
    UniqueFd clientFd_;
    std::unique_ptr<Connection> client_;
    Pty pty_;
    std::unique_ptr<Connection> ptyLine_;
};

}  // namespace delvar::sim
