#include "support/SimProcess.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace delvar::testing {

SimProcess::SimProcess(const std::string& simPath, const SimOptions& options) {
    std::vector<std::string> args{simPath};
    if (options.tcp) args.insert(args.end(), {"--port", "0"});
    if (options.pty) {
        char dir[] = "/tmp/delvar-sim-XXXXXX";
        if (!mkdtemp(dir)) throw std::runtime_error("cannot make a folder for the pty");
        tempDir_ = dir;
        args.insert(args.end(), {"--pty", tempDir_ + "/tty"});
    }
    args.insert(args.end(), options.extraArgs.begin(), options.extraArgs.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("cannot make a pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    int rc = posix_spawn(&pid_, simPath.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        throw std::runtime_error("cannot start " + simPath);
    }

    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (text.find("delvar-sim ready\n") == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{out[0], POLLIN, 0};
        char buffer[256];
        ssize_t n = 0;
        if (left.count() <= 0 || poll(&p, 1, int(left.count())) <= 0 ||
            (n = read(out[0], buffer, sizeof buffer)) <= 0) {
            close(out[0]);
            throw std::runtime_error("delvar-sim did not come up: " + text);
        }
        text.append(buffer, std::size_t(n));
    }
    close(out[0]);
    auto at = text.find("delvar-sim tcp 127.0.0.1:");
    if (at != std::string::npos) port_ = std::atoi(text.c_str() + at + 25);
    at = text.find("delvar-sim pty ");
    if (at != std::string::npos) ptyPath_ = text.substr(at + 15, text.find('\n', at) - at - 15);
}

SimProcess::~SimProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    if (!tempDir_.empty()) {
        unlink((tempDir_ + "/tty").c_str());
        rmdir(tempDir_.c_str());
    }
}

}  // namespace delvar::testing
