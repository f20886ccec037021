#include "sim/Server.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace delvar::sim {

namespace {
// A client that leaves this much unread has stopped reading; it is dropped rather
// than let the queue grow without end.
constexpr std::size_t kMaxUnsentBytes = 64 * 1024;
constexpr std::size_t kReadChunk = 4096;

std::string Printable(std::string_view text) {
    std::string out;
    for (unsigned char ch : text) out += (ch >= 32 && ch < 127) ? char(ch) : '.';
    return out;
}

// Holds SIGINT and SIGTERM back except inside ppoll(), so a stop request can never
// slip in between testing the flag and going to sleep.
class SignalGate {
  public:
    SignalGate() {
        sigset_t stopSignals;
        sigemptyset(&stopSignals);
        sigaddset(&stopSignals, SIGINT);
        sigaddset(&stopSignals, SIGTERM);
        sigprocmask(SIG_BLOCK, &stopSignals, &previous_);
        waitMask_ = previous_;
        sigdelset(&waitMask_, SIGINT);
        sigdelset(&waitMask_, SIGTERM);
    }
    ~SignalGate() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
    const sigset_t* WaitMask() const { return &waitMask_; }

  private:
    sigset_t previous_{};
    sigset_t waitMask_{};
};
}  // namespace

Server::Server(ServerOptions options, CommandHandler& handler)
    : options_(std::move(options)), handler_(handler) {}

bool Server::Start(std::string& error) {
    int port = 0;
    if (options_.tcp) {
        listener_ = ListenLoopback(options_.port, port, error);
        if (!listener_.Valid()) return false;
    }
    if (!options_.ptyPath.empty()) {
        if (!pty_.Open(options_.ptyPath, error)) return false;
        ptyLine_ = std::make_unique<Connection>();
        ptyLine_->fd = pty_.Master();
        ptyLine_->in = LinePacer(options_.baud);
        ptyLine_->out = LinePacer(options_.baud);
    }
    tcpPort_ = port;
    if (options_.quiet) return true;
    if (listener_.Valid()) std::printf("delvar-sim tcp 127.0.0.1:%d\n", port);
    if (ptyLine_) std::printf("delvar-sim pty %s\n", pty_.LinkPath().c_str());
    std::printf("delvar-sim ready\n");
    std::fflush(stdout);
    return true;
}

SimTime Server::Tick() {
    clock_.AdvanceTo(std::chrono::steady_clock::now() - start_);
    return clock_.Now();
}

void Server::Log(const std::string& text) const {
    if (options_.verbose) std::fprintf(stderr, "delvar-sim: %s\n", text.c_str());
}

void Server::Accept() {
    UniqueFd fd = AcceptClient(listener_.Get());
    if (!fd.Valid()) return;
    if (client_) DropClient("replaced by a new client");
    clientFd_ = std::move(fd);
    client_ = std::make_unique<Connection>();
    client_->fd = clientFd_.Get();
    client_->isTcp = true;
    Log("client connected");
}

void Server::DropClient(const char* why) {
    Log(std::string("client closed: ") + why);
    client_.reset();
    clientFd_.Reset();
}

void Server::ReadFrom(Connection& line) {
    std::uint8_t buffer[kReadChunk];
    const ssize_t n = read(line.fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n <= 0) {
        // The pty never gets here while its slave end is held open.
        if (line.isTcp) DropClient(n == 0 ? "disconnected" : std::strerror(errno));
        return;
    }
    // On a paced line the command is all there only once its bytes have crossed.
    const SimTime received = line.in.Send(Tick(), std::size_t(n));
    for (const DecodedCommand& command :
         line.decoder.Feed(std::span<const std::uint8_t>(buffer, std::size_t(n))))
        Respond(line, command, received);
}

void Server::Respond(Connection& line, const DecodedCommand& command, SimTime received) {
    const std::string shown = Printable(command.text);
    if (line.muted) {
        Log("<- " + shown + " (line dropped, no reply)");
        return;
    }
    Answer answer = handler_.Handle(command, Tick());
    if (answer.silent) {
        Log("<- " + shown + " (no reply)");
        return;
    }
    Log("<- " + shown + " -> " + answer.reply.status + " " + Printable(answer.reply.data));
    line.outgoing.Schedule(std::move(answer.plan), std::max(received, Tick()));
}

void Server::Flush(Connection& line) {
    if (line.isTcp)
        WriteTcp(line);
    else
        WritePty(line);
}

void Server::WriteTcp(Connection& line) {
    const SimTime now = Tick();
    for (auto bytes = line.outgoing.Due(now); !bytes.empty(); bytes = line.outgoing.Due(now)) {
        const ssize_t n = send(line.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            line.awaitWritable = true;
            break;
        }
        if (n < 0) return DropClient(std::strerror(errno));
        if (line.outgoing.Sent(std::size_t(n))) return DropClient("dropped after its reply");
    }
}

void Server::WritePty(Connection& line) {
    const SimTime now = Tick();
    for (auto bytes = line.outgoing.Due(now); !bytes.empty(); bytes = line.outgoing.Due(now)) {
        // A paced line hands over only the bytes that have crossed the wire by now.
        const std::size_t crossed = line.out.Crossed(*line.outgoing.NextDue(), now, bytes.size());
        if (crossed == 0) break;
        // Nobody may be reading the device: what does not fit is lost, as on a real
        // serial line without a listener.
        const ssize_t n = write(line.fd, bytes.data(), crossed);
        const bool dropped = line.outgoing.Sent(n > 0 ? std::size_t(n) : crossed);
        if (dropped) {
            Log("pty line dropped after its reply");
            line.muted = true;
            line.outgoing.Clear();
        }
    }
}

std::optional<SimTime> Server::NextDue() const {
    std::optional<SimTime> next;
    for (const Connection* line : {client_.get(), ptyLine_.get()}) {
        if (!line || line->awaitWritable) continue;
        auto due = line->outgoing.NextDue();
        if (due && line->out.Paced()) due = line->out.NextCrossing(*due);
        if (due && (!next || *due < *next)) next = due;
    }
    return next;
}

void Server::Run(const volatile std::sig_atomic_t& stop) {
    SignalGate gate;
    while (!stop) {
        // Fixed slots so the results can be matched after the client may have changed.
        pollfd fds[3] = {{listener_.Get(), POLLIN, 0}, {-1, 0, 0}, {-1, 0, 0}};
        if (client_)
            fds[1] = {client_->fd, short(POLLIN | (client_->awaitWritable ? POLLOUT : 0)), 0};
        if (ptyLine_) fds[2] = {ptyLine_->fd, POLLIN, 0};
        timespec timeout{};
        const timespec* wait = nullptr;
        if (auto due = NextDue()) {
            const auto left = std::max(SimTime::zero(), *due - Tick());
            timeout.tv_sec = std::chrono::duration_cast<std::chrono::seconds>(left).count();
            timeout.tv_nsec = (left % std::chrono::seconds(1)).count();
            wait = &timeout;
        }
        if (ppoll(fds, 3, wait, gate.WaitMask()) < 0) {
            if (errno == EINTR) continue;
            std::fprintf(stderr, "delvar-sim: poll failed: %s\n", std::strerror(errno));
            return;
        }
        if (client_ && fds[1].revents) {
            if (fds[1].revents & POLLOUT) client_->awaitWritable = false;
            if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) ReadFrom(*client_);
            if (client_ && client_->outgoing.PendingBytes() > kMaxUnsentBytes)
                DropClient("not reading its replies");
        }
        if (ptyLine_ && (fds[2].revents & POLLIN)) ReadFrom(*ptyLine_);
        if (fds[0].revents & POLLIN) Accept();
        if (client_ && !client_->awaitWritable) Flush(*client_);
        if (ptyLine_) Flush(*ptyLine_);
    }
}

}  // namespace delvar::sim
