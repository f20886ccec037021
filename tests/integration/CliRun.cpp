#include "integration/CliRun.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace delvar::testing {

namespace {
std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
}  // namespace

CliChild::CliChild(const std::string& arguments, const std::string& program) {
    char dir[] = "/tmp/delvar-cli-XXXXXX";
    dir_ = mkdtemp(dir);
    // exec: the shell becomes delvar-cli, so signals go to it.
    std::string command =
        "exec " + program + " " + arguments + " >" + dir_ + "/out 2>" + dir_ + "/err </dev/null";
    char* argv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>("-c"), command.data(), nullptr};
    if (posix_spawn(&pid_, "/bin/sh", nullptr, nullptr, argv, environ) != 0) pid_ = -1;
}

CliChild::~CliChild() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::filesystem::remove_all(dir_);
}

std::string CliChild::Out() const {
    return Slurp(dir_ + "/out");
}
std::string CliChild::Err() const {
    return Slurp(dir_ + "/err");
}
bool CliChild::AwaitOut(const std::string& text, std::size_t n) {
    return Await(false, text, n);
}
bool CliChild::AwaitErr(const std::string& text, std::size_t n) {
    return Await(true, text, n);
}

bool CliChild::Await(bool err, const std::string& text, std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        const bool ended = pid_ <= 0 || waitpid(pid_, &status_, WNOHANG) == pid_;
        if (ended) pid_ = -1;
        if (Occurrences(err ? Err() : Out(), text) >= count) return true;
        if (ended) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

void CliChild::Signal(int signal) const {
    if (pid_ > 0) kill(pid_, signal);
}

CliResult CliChild::Finish() {
    if (pid_ > 0 && waitpid(pid_, &status_, 0) == pid_) pid_ = -1;
    return {WIFEXITED(status_) ? WEXITSTATUS(status_) : -1, Out(), Err()};
}

CliResult RunCli(const std::string& arguments) {
    return CliChild(arguments).Finish();
}

CliResult RunProgram(const std::string& program, const std::string& arguments) {
    return CliChild(arguments, program).Finish();
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::string Tcp(const SimProcess& sim) {
    return "--tcp 127.0.0.1:" + std::to_string(sim.tcpPort());
}

}  // namespace delvar::testing
