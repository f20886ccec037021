#include "sim/Transports.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace delvar::sim {

namespace {
std::string Reason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}
}  // namespace

UniqueFd ListenLoopback(int port, int& boundPort, std::string& error) {
    const std::string where = "cannot listen on 127.0.0.1:" + std::to_string(port);
    UniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.Valid()) {
        error = Reason(where);
        return {};
    }
    int one = 1;
    setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    if (bind(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(fd.Get(), 4) != 0 ||
        getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
        error = Reason(where);
        return {};
    }
    boundPort = ntohs(addr.sin_port);
    return fd;
}

UniqueFd AcceptClient(int listenFd) {
    UniqueFd fd(accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!fd.Valid()) return fd;
    int one = 1;
    setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

Pty::~Pty() {
    RemoveLink();
}

bool Pty::Open(const std::string& linkPath, std::string& error) {
    master_ = UniqueFd(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master_.Valid() || grantpt(master_.Get()) != 0 || unlockpt(master_.Get()) != 0) {
        error = Reason("cannot make a pseudo-terminal");
        return false;
    }
    const char* name = ptsname(master_.Get());
    if (!name) {
        error = Reason("cannot name the pseudo-terminal");
        return false;
    }
    slaveName_ = name;
    slave_ = UniqueFd(open(slaveName_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    termios raw{};
    if (!slave_.Valid() || tcgetattr(slave_.Get(), &raw) != 0) {
        error = Reason("cannot open " + slaveName_);
        return false;
    }
    cfmakeraw(&raw);
    if (tcsetattr(slave_.Get(), TCSANOW, &raw) != 0 ||
        fcntl(master_.Get(), F_SETFL, fcntl(master_.Get(), F_GETFL) | O_NONBLOCK) != 0) {
        error = Reason("cannot set up " + slaveName_);
        return false;
    }
    // A stale link from an earlier run is replaced; a real file is never deleted.
    struct stat existing {};
    if (lstat(linkPath.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            error = "cannot link " + linkPath + ": a file that is not a symbolic link is there";
            return false;
        }
        unlink(linkPath.c_str());
    }
    if (symlink(slaveName_.c_str(), linkPath.c_str()) != 0) {
        error = Reason("cannot link " + linkPath);
        return false;
    }
    linkPath_ = linkPath;
    return true;
}

void Pty::RemoveLink() {
    if (linkPath_.empty()) return;
    // Only remove the link while it still points at this pty (another run may own it).
    std::vector<char> target(slaveName_.size() + 2);
    const ssize_t n = readlink(linkPath_.c_str(), target.data(), target.size());
    if (n >= 0 && std::string(target.data(), std::size_t(n)) == slaveName_)
        unlink(linkPath_.c_str());
    linkPath_.clear();
}

}  // namespace delvar::sim
