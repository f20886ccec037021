#include "sim/Server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "link/Frame.h"

namespace delvar::sim {

namespace {
std::string Printable(const std::string& text) {
    std::string out;
    for (unsigned char ch : text) out += (ch >= 32 && ch < 127) ? char(ch) : '.';
    return out;
}
}  // namespace

Server::Server(ServerOptions options, Responder& responder, FaultInjector& faults)
    : options_(std::move(options)), responder_(responder), faults_(faults) {}

Server::~Server() {
    CloseClient();
    if (listenFd_ >= 0) close(listenFd_);
    if (pty_) {
        close(pty_->fd);
        unlink(options_.ptyPath.c_str());
    }
    if (ptySlaveFd_ >= 0) close(ptySlaveFd_);
}

bool Server::Start(std::string& error) {
    if (options_.tcp && !StartTcp(error)) return false;
    if (!options_.ptyPath.empty() && !StartPty(error)) return false;
    std::printf("delvar-sim ready\n");
    std::fflush(stdout);
    return true;
}

bool Server::StartTcp(std::string& error) {
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(options_.port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(listenFd_, 4) != 0) {
        error = "cannot listen on 127.0.0.1:" + std::to_string(options_.port) + ": " +
                std::strerror(errno);
        return false;
    }
    socklen_t length = sizeof addr;
    getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &length);
    std::printf("delvar-sim tcp 127.0.0.1:%d\n", ntohs(addr.sin_port));
    return true;
}

bool Server::StartPty(std::string& error) {
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        error = std::string("cannot make a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const char* slaveName = ptsname(master);
    ptySlaveFd_ = open(slaveName, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (ptySlaveFd_ < 0 || tcgetattr(ptySlaveFd_, &raw) != 0) {
        error = std::string("cannot open ") + slaveName + ": " + std::strerror(errno);
        return false;
    }
    cfmakeraw(&raw);
    tcsetattr(ptySlaveFd_, TCSANOW, &raw);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    unlink(options_.ptyPath.c_str());
    if (symlink(slaveName, options_.ptyPath.c_str()) != 0) {
        error = "cannot link " + options_.ptyPath + ": " + std::strerror(errno);
        close(master);
        return false;
    }
    pty_ = std::make_unique<Endpoint>();
    pty_->fd = master;
    std::printf("delvar-sim pty %s\n", options_.ptyPath.c_str());
    return true;
}

void Server::Accept() {
    int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    CloseClient();  // the newest client takes over
    client_ = std::make_unique<Endpoint>();
    client_->fd = fd;
    client_->isTcp = true;
    if (options_.verbose) std::fprintf(stderr, "client connected\n");
}

void Server::CloseClient() {
    if (!client_) return;
    close(client_->fd);
    client_.reset();
}

void Server::ReadFrom(Endpoint& endpoint) {
    std::uint8_t buffer[512];
    ssize_t n = read(endpoint.fd, buffer, sizeof buffer);
    if (n <= 0) {
        if (endpoint.isTcp && (n == 0 || errno != EAGAIN)) CloseClient();
        return;
    }
    for (ssize_t i = 0; i < n; ++i) {
        auto command = endpoint.decoder.Feed(buffer[i]);
        if (!command) continue;
        Answer(endpoint, *command);
        if (endpoint.isTcp && client_.get() != &endpoint) return;  // dropped while answering
    }
}

void Server::Answer(Endpoint& endpoint, const DecodedCommand& command) {
    if (endpoint.muted || faults_.SilenceCommand()) {
        if (options_.verbose)
            std::fprintf(stderr, "<- %s (no reply)\n", Printable(command.text).c_str());
        return;
    }
    Reply reply{'F', ""};
    if (command.checkOk && !faults_.DamageCommand()) reply = responder_.Respond(command.text);
    if (options_.verbose)
        std::fprintf(stderr, "<- %s -> %c %s\n", Printable(command.text).c_str(), reply.status,
                     reply.data.c_str());
    ReplyPlan plan = faults_.Plan(link::BuildReplyFrame(reply.status, reply.data));
    auto due = Clock::now();
    for (std::size_t i = 0; i < plan.chunks.size(); ++i) {
        due += std::chrono::milliseconds(plan.chunks[i].delayMs);
        bool last = i + 1 == plan.chunks.size();
        endpoint.outgoing.push_back({due, std::move(plan.chunks[i].bytes), last && plan.dropAfter});
    }
    Flush(endpoint);
}

void Server::Flush(Endpoint& endpoint) {
    const auto now = Clock::now();
    while (!endpoint.outgoing.empty() && endpoint.outgoing.front().due <= now) {
        Pending item = std::move(endpoint.outgoing.front());
        endpoint.outgoing.pop_front();
        // Replies are a few hundred bytes at most; a full pty buffer drops them, as a
        // line nobody listens to would.
        [[maybe_unused]] ssize_t written = write(endpoint.fd, item.bytes.data(), item.bytes.size());
        if (item.dropAfter) {
            if (endpoint.isTcp) {
                CloseClient();
                return;
            }
            endpoint.muted = true;
        }
    }
}

int Server::PollTimeoutMs() const {
    int timeout = -1;
    for (const Endpoint* e : {client_.get(), pty_.get()}) {
        if (!e || e->outgoing.empty()) continue;
        auto wait =
            std::chrono::ceil<std::chrono::milliseconds>(e->outgoing.front().due - Clock::now());
        int ms = std::max(0, int(wait.count()));
        timeout = timeout < 0 ? ms : std::min(timeout, ms);
    }
    return timeout;
}

void Server::Run(const volatile std::sig_atomic_t& stop) {
    while (!stop) {
        std::vector<pollfd> fds;
        if (listenFd_ >= 0) fds.push_back({listenFd_, POLLIN, 0});
        if (client_) fds.push_back({client_->fd, POLLIN, 0});
        if (pty_) fds.push_back({pty_->fd, POLLIN, 0});
        int ready = poll(fds.data(), fds.size(), PollTimeoutMs());
        if (ready < 0 && errno != EINTR) break;
        for (const pollfd& p : fds) {
            if (!(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
            if (p.fd == listenFd_)
                Accept();
            else if (client_ && p.fd == client_->fd)
                ReadFrom(*client_);
            else if (pty_ && p.fd == pty_->fd)
                ReadFrom(*pty_);
        }
        if (client_) Flush(*client_);
        if (pty_) Flush(*pty_);
    }
}

}  // namespace delvar::sim
