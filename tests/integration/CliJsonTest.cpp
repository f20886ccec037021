// delvar-cli's readings as JSON for other programs, the command line of each program,
// and the message for a serial port the user may not open.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "core/Version.h"
#include "integration/CliRun.h"
#include "platform/QtSerialDevices.h"
#include "support/SimProcess.h"

namespace delvar::testing {
namespace {

using nlohmann::json;

// Every key the man page documents, with the readings' units in their names.
void ExpectReadings(const json& j, const std::string& line) {
    SCOPED_TRACE(line);
    ASSERT_TRUE(j.is_object());
    for (const char* key : {"time", "phase", "phase_text", "process", "layer", "elapsed_s"})
        EXPECT_TRUE(j.contains(key)) << key;
    EXPECT_TRUE(std::regex_match(j["time"].get<std::string>(),
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")));
    ASSERT_EQ(j["outputs"].size(), 4u);
    ASSERT_EQ(j["sensors"].size(), 4u);
    for (const json& output : j["outputs"]) {
        if (output.is_null()) continue;
        for (const char* key : {"rate_A_s", "deviation_pct", "thickness_kA", "power_pct"})
            EXPECT_TRUE(output[key].is_number()) << key;
    }
    for (const json& sensor : j["sensors"])
        for (const char* key : {"rate_A_s", "thickness_kA", "frequency_Hz"})
            EXPECT_TRUE(sensor[key].is_number()) << key;
}

TEST(CliJson, StatusAndWatchPrintOneObjectALineWithNullForOutputsNotInUse) {
    SimProcess sim(DELVAR_SIM_PATH, {.extraArgs = {"--setup", DELVAR_DEMO_SETUP, "--speed", "5"}});
    CliResult r = RunCli(Tcp(sim) + " status --json");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const json stopped = json::parse(r.out);
    ExpectReadings(stopped, r.out);
    EXPECT_EQ(stopped["phase"], 0);
    EXPECT_EQ(stopped["phase_text"], "Stopped");

    ASSERT_EQ(RunCli(Tcp(sim) + " run start").exitCode, 0);
    // The demo's first process deposits from output 1 only.
    CliChild watch(Tcp(sim) + " watch --seconds 2 --json");
    ASSERT_TRUE(watch.AwaitOut("\n", 2)) << "each line is flushed as it is printed";
    r = watch.Finish();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        const json j = json::parse(line);
        ExpectReadings(j, line);
        EXPECT_GT(j["phase"].get<int>(), 0);
        EXPECT_EQ(j["process"], 1);
        EXPECT_TRUE(j["outputs"][0].is_object());
        for (int k = 1; k < 4; ++k) EXPECT_TRUE(j["outputs"][k].is_null()) << line;
        ++count;
    }
    EXPECT_GE(count, 2);
    EXPECT_EQ(RunCli(Tcp(sim) + " status --json extra").exitCode, 2);
}

TEST(ProgramCommandLine, HelpAndVersionOnStdoutUnknownOptionIsAUsageError) {
    const std::string version = std::string(" ") + core::kVersionText + "\n";
    for (const std::string program : {DELVAR_COMM_PATH, DELVAR_SIM_PATH, DELVAR_CLI_PATH}) {
        const std::string name = std::filesystem::path(program).filename().string();
        // No display: the window program must answer these before it needs one.
        const std::string bare = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb " + program;
        CliResult r = RunProgram(bare, "--help");
        EXPECT_EQ(r.exitCode, 0) << name << r.err;
        EXPECT_NE(r.out.find("usage: " + name), std::string::npos) << name;
        EXPECT_NE(r.out.find("--version"), std::string::npos) << name;
        EXPECT_EQ(r.err, "") << name;
        r = RunProgram(bare, "--version");
        EXPECT_EQ(r.exitCode, 0) << name;
        EXPECT_EQ(r.out, name + version);
        r = RunProgram(bare, "--no-such-option");
        EXPECT_EQ(r.exitCode, 2) << name;
        EXPECT_EQ(r.out, "") << name;
        EXPECT_NE(r.err.find("--no-such-option"), std::string::npos) << name;
        EXPECT_NE(r.err.find("usage: " + name), std::string::npos) << name;
    }
}

// A pty the test user may not open: as root, mode 600 and the check runs as nobody;
// otherwise mode 000 and the check runs as the user.
struct ForbiddenPty {
    explicit ForbiddenPty(const SimProcess& sim)
        : path(std::filesystem::canonical(sim.ptyPath()).string()) {
        ::chmod(path.c_str(), asRoot ? 0600 : 0);
    }
    std::string AsUser() const {
        return asRoot ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    }
    const bool asRoot = ::geteuid() == 0;
    const std::string path;
};

TEST(SerialPermission, APortTheUserMayNotOpenNamesTheDialoutRemedy) {
    SimProcess sim(DELVAR_SIM_PATH, {.tcp = false, .pty = true, .extraArgs = {}});
    const ForbiddenPty pty(sim);
    const CliResult r =
        RunProgram(pty.AsUser() + DELVAR_CLI_PATH, "--serial " + pty.path + " info");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("No permission to open " + pty.path), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("dialout"), std::string::npos) << r.err;

    // What marks the port in the communications window.
    const pid_t child = fork();
    if (child == 0) {
        if (pty.asRoot && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        _exit(platform::SerialAccess(pty.path) == app::PortAccess::Denied ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(platform::SerialAccess("/no/such/tty"), app::PortAccess::Missing);
}

}  // namespace
}  // namespace delvar::testing
