// delvar-cli send, info and the operating verbs, run as a child process against delvar-sim.
#include <gtest/gtest.h>

#include "integration/CliRun.h"
#include "support/SimProcess.h"

namespace delvar::testing {
namespace {

TEST(CliSend, PrintsEachReplyAndFailsOnARefusal) {
    SimProcess sim(DELVAR_SIM_PATH, {});
    CliResult r = RunCli(Tcp(sim) + " send @ J");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "DELVAR  Ver 6.30\n4\n");
    EXPECT_EQ(r.err, "");
    r = RunCli(Tcp(sim) + " send J BOGUS");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "4\n\n");
    EXPECT_EQ(r.err, "Bad Command\n");
}

TEST(CliSend, RepeatReportsCountMedianAndMaximum) {
    SimProcess sim(DELVAR_SIM_PATH, {});
    CliResult r = RunCli("--no-checksum " + Tcp(sim) + " send --repeat 5 J");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "4\n4\n4\n4\n4\n");
    EXPECT_NE(r.err.find("exchanges: 5, median: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(" us, max: "), std::string::npos) << r.err;
}

TEST(CliSend, SerialLinkOverAPseudoTerminal) {
    SimProcess sim(DELVAR_SIM_PATH, {.tcp = false, .pty = true, .extraArgs = {}});
    CliResult r = RunCli("--serial " + sim.ptyPath() + " --baud 57600 send J");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "4\n");
}

// Each is refused before anything is sent: with nothing listening on port 1, an
// attempt to connect would exit with 1 instead.
TEST(CliSend, UsageErrorsExitWithTwoAndSendNothing) {
    for (const char* arguments : {"send",
                                  "--tcp nowhere send J",
                                  "--baud 9600 send J",
                                  "--frobnicate send J",
                                  "fly",
                                  "send --repeat 0 J",
                                  "send --repeat 2x J",
                                  "power 5 10",
                                  "power 1 abc",
                                  "power 1 nan",
                                  "power 1 50abc",
                                  "power 1 101",
                                  "power 1.5 50",
                                  "run sideways",
                                  "select 100",
                                  "select 5x",
                                  "watch --seconds abc",
                                  "watch --seconds -5",
                                  "watch --seconds inf",
                                  "--serial '' send J",
                                  "--usb '' info",
                                  "--retries x info",
                                  "--retries -1 info",
                                  "unlock now",
                                  "upload",
                                  "upload --db x.mdb --bogus"}) {
        CliResult r = RunCli("--tcp 127.0.0.1:1 " + std::string(arguments));
        EXPECT_EQ(r.exitCode, 2) << arguments;
        EXPECT_EQ(r.err.find("cannot connect"), std::string::npos) << arguments;
    }
    CliResult r = RunCli("--tcp 127.0.0.1:1 send J");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot connect to 127.0.0.1:1"), std::string::npos) << r.err;
}

TEST(CliInfo, ReportsTheConnectOrWhyItFailed) {
    const char* notFound = "Instrument not found.\nVerify Comm Port and instrument Baud Rate.\n";
    const struct {
        std::vector<std::string> sim;
        int exitCode;
        std::string out, err;
    } cases[] = {
        {{"--codep", "--channels", "2"},
         0,
         "Version: DELVARC Ver 6.30\nChannels: 2\nCoDep: yes\n",
         ""},
        {{"--firmware", "5.10"},
         1,
         "",
         "Delvar firmware version DELVAR  Ver 5.10 cannot be used with this Comm software.\n\n"
         "Use Pellan Comm Version 1.XX.\nOff line\n"},
        {{"--silent-every", "1"}, 1, "", notFound + std::string("Off line\n")},
        // "J" unanswered, then its second reply damaged: no output count, no guess.
        {{"--silent-every", "2", "--corrupt-every", "2"},
         1,
         "",
         notFound + std::string("Off line\n")},
    };
    for (const auto& c : cases) {
        SimProcess sim(DELVAR_SIM_PATH, {.extraArgs = c.sim});
        CliResult r = RunCli(Tcp(sim) + " info");
        EXPECT_EQ(r.exitCode, c.exitCode) << c.sim[0];
        EXPECT_EQ(r.out, c.out) << c.sim[0];
        EXPECT_EQ(r.err, c.err) << c.sim[0];
    }
}

TEST(CliOperate, StatusFollowsTheRunCommands) {
    SimProcess sim(DELVAR_SIM_PATH, {.extraArgs = {"--speed", "50"}});
    CliResult idle = RunCli(Tcp(sim) + " status");
    ASSERT_EQ(idle.exitCode, 0) << idle.err;
    EXPECT_EQ(idle.out.substr(0, idle.out.find("Output 1")),
              "Phase: Stopped\nElapsed: 0:00:00\nProcess: 1\nLayer: 0\n");
    EXPECT_NE(
        idle.out.find("Sensor 4: rate 0.00 A/s, thickness 0.000 kA, frequency 6004500.0 Hz\n"),
        std::string::npos)
        << idle.out;

    EXPECT_EQ(RunCli(Tcp(sim) + " run start").exitCode, 0);
    CliResult running = RunCli(Tcp(sim) + " status");
    EXPECT_EQ(running.out.find("Phase: Stopped"), std::string::npos) << running.out;
    EXPECT_NE(running.out.find("Layer: 1\n"), std::string::npos) << running.out;

    EXPECT_EQ(RunCli(Tcp(sim) + " power 1 40").exitCode, 0);
    EXPECT_NE(RunCli(Tcp(sim) + " status").out.find("Phase: Manual Power\n"), std::string::npos);
    EXPECT_EQ(RunCli(Tcp(sim) + " auto").exitCode, 0);
    EXPECT_EQ(RunCli(Tcp(sim) + " run reset").exitCode, 0);
    EXPECT_NE(RunCli(Tcp(sim) + " status").out.find("Phase: Stopped\n"), std::string::npos);
    CliResult selected = RunCli(Tcp(sim) + " select 2");
    EXPECT_EQ(selected.exitCode, 0) << selected.err;
    EXPECT_NE(RunCli(Tcp(sim) + " status").out.find("Process: 2\n"), std::string::npos);
}

TEST(CliOperate, WatchPollsForTheGivenTime) {
    SimProcess sim(DELVAR_SIM_PATH, {});
    CliResult r = RunCli(Tcp(sim) + " watch --seconds 1.2");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // Polls are paced at 500 ms, so 1.2 s holds at most three; a slow machine may
    // fit fewer, but watch must have polled and stopped by itself.
    EXPECT_GE(Occurrences(r.out, "Phase: "), 1u);
    EXPECT_LE(Occurrences(r.out, "Phase: "), 4u);
}

}  // namespace
}  // namespace delvar::testing
