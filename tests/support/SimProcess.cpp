#include "support/SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace delvar::testing {

namespace {
using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr auto kStartTimeout = std::chrono::seconds(5);
constexpr auto kStopTimeout = std::chrono::seconds(3);
constexpr std::string_view kReadyLine = "delvar-sim ready\n";
constexpr std::string_view kTcpPrefix = "delvar-sim tcp 127.0.0.1:";
constexpr std::string_view kPtyPrefix = "delvar-sim pty ";

// The rest of the line that starts with prefix in text; empty when there is none.
std::string LineAfter(const std::string& text, std::string_view prefix) {
    const std::size_t at = text.find(prefix);
    if (at == std::string::npos) return {};
    const std::size_t from = at + prefix.size();
    return text.substr(from, text.find('\n', from) - from);
}

std::string ExitText(int status) {
    if (WIFEXITED(status)) return "exited with status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "was killed by signal " + std::to_string(WTERMSIG(status));
    return "stopped";
}

class Pipe {
  public:
    Pipe() {
        if (pipe2(fds_, O_CLOEXEC) != 0)
            throw std::runtime_error(std::string("cannot make a pipe: ") + std::strerror(errno));
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    int Read() const { return fds_[0]; }
    int Write() const { return fds_[1]; }
    void CloseRead() { Close(fds_[0]); }
    void CloseWrite() { Close(fds_[1]); }

  private:
    static void Close(int& fd) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    int fds_[2] = {-1, -1};
};
}  // namespace

SimProcess::SimProcess(const std::string& simPath, const SimOptions& options) {
    std::vector<std::string> args{simPath};
    if (options.tcp) args.insert(args.end(), {"--port", "0"});
    if (options.pty) {
        char dir[] = "/tmp/delvar-sim-XXXXXX";
        if (!mkdtemp(dir))
            throw std::runtime_error(std::string("cannot make a folder for the pty: ") +
                                     std::strerror(errno));
        tempDir_ = dir;
        args.insert(args.end(), {"--pty", tempDir_ + "/tty"});
    }
    args.insert(args.end(), options.extraArgs.begin(), options.extraArgs.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    try {
        Pipe out;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out.Write(), STDOUT_FILENO);
        const int rc = posix_spawn(&pid_, simPath.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            pid_ = -1;
            throw std::runtime_error("cannot start " + simPath + ": " + std::strerror(rc));
        }
        out.CloseWrite();  // so the read end sees the end of file when the child exits
        const std::string text = AwaitReady(out.Read());
        const std::string port = LineAfter(text, kTcpPrefix);
        std::from_chars(port.data(), port.data() + port.size(), port_);
        ptyPath_ = LineAfter(text, kPtyPrefix);
        if ((options.tcp && port_ <= 0) || (options.pty && ptyPath_.empty()))
            throw std::runtime_error("delvar-sim did not report its endpoints: " + text);
    } catch (...) {
        Stop();
        throw;
    }
}

SimProcess::~SimProcess() {
    Stop();
}

std::string SimProcess::AwaitReady(int outFd) {
    std::string text;
    const auto deadline = steady_clock::now() + kStartTimeout;
    while (text.find(kReadyLine) == std::string::npos) {
        const auto left = std::chrono::ceil<milliseconds>(deadline - steady_clock::now());
        if (left.count() <= 0)
            throw std::runtime_error("delvar-sim was not ready within 5 s; it printed: " + text);
        pollfd p{outFd, POLLIN, 0};
        const int ready = poll(&p, 1, int(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        char buffer[256];
        const ssize_t n = ready > 0 ? read(outFd, buffer, sizeof buffer) : 0;
        if (n > 0) {
            text.append(buffer, std::size_t(n));
            continue;
        }
        if (ready == 0) continue;  // the deadline check ends the wait
        int status = 0;
        const bool reaped = waitpid(pid_, &status, 0) == pid_;
        if (reaped) pid_ = -1;
        throw std::runtime_error("delvar-sim " + (reaped ? ExitText(status) : "closed its output") +
                                 " before it was ready; it printed: " + text);
    }
    return text;
}

void SimProcess::Stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        const auto deadline = steady_clock::now() + kStopTimeout;
        pid_t done = 0;
        while ((done = waitpid(pid_, &status, WNOHANG)) == 0 && steady_clock::now() < deadline)
            std::this_thread::sleep_for(milliseconds(5));
        if (done == 0) {  // it ignored the request: do not leave it running
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
        pid_ = -1;
    }
    if (!tempDir_.empty()) {
        unlink((tempDir_ + "/tty").c_str());  // in case the simulator could not remove it
        rmdir(tempDir_.c_str());
        tempDir_.clear();
    }
}

}  // namespace delvar::testing
