// delvar-cli send, info and the operating verbs, run as a child process against delvar-sim.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#include "integration/CliRun.h"
#include "support/SimProcess.h"

namespace delvar::testing {
namespace {

TEST(CliSend, PrintsEachReplyOnItsOwnLine) {
    SimProcess sim(DELVAR_SIM_PATH, {});
    CliResult r = RunCli(Tcp(sim) + " send @ J");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "DELVAR  Ver 6.30\n4\n");
    EXPECT_EQ(r.err, "");
}

TEST(CliSend, RefusedCommandWritesTheStatusTextAndFails) {
    SimProcess sim(DELVAR_SIM_PATH, {});
    CliResult r = RunCli(Tcp(sim) + " send J BOGUS");
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
    SimOptions options;
    options.tcp = false;
    options.pty = true;
    SimProcess sim(DELVAR_SIM_PATH, options);
    CliResult r = RunCli("--serial " + sim.ptyPath() + " --baud 57600 send J");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "4\n");
}

TEST(CliSend, UsageErrorsExitWithTwo) {
    EXPECT_EQ(RunCli("send").exitCode, 2);
    EXPECT_EQ(RunCli("--tcp nowhere send J").exitCode, 2);
    EXPECT_EQ(RunCli("--baud 9600 send J").exitCode, 2);
    EXPECT_EQ(RunCli("--frobnicate send J").exitCode, 2);
    EXPECT_EQ(RunCli("fly").exitCode, 2);
    EXPECT_EQ(RunCli("send --repeat 0 J").exitCode, 2);
}

TEST(CliSend, NoInstrumentMeansFailure) {
    CliResult r = RunCli("--tcp 127.0.0.1:1 send J");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot connect to 127.0.0.1:1"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace delvar::testing

namespace delvar::testing {
namespace {

TEST(CliInfo, ReportsVersionChannelsAndCoDep) {
    SimProcess sim(DELVAR_SIM_PATH, {.extraArgs = {"--codep", "--channels", "2"}});
    CliResult r = RunCli(Tcp(sim) + " info");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Version: DELVARC Ver 6.30\nChannels: 2\nCoDep: yes\n");
}

TEST(CliInfo, RefusedFirmwareShowsTheMessageAndFails) {
    SimProcess sim(DELVAR_SIM_PATH, {.extraArgs = {"--firmware", "5.10"}});
    CliResult r = RunCli(Tcp(sim) + " info");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "Delvar firmware version DELVAR  Ver 5.10 cannot be used with this Comm software.\n\n"
              "Use Pellan Comm Version 1.XX.\nOff line\n");
}

TEST(CliInfo, SilentInstrumentIsNotFound) {
    SimProcess sim(DELVAR_SIM_PATH, {.extraArgs = {"--silent-every", "1"}});
    CliResult r = RunCli(Tcp(sim) + " info");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "Instrument not found.\nVerify Comm Port and instrument Baud Rate.\nOff line\n");
}

TEST(CliOperate, BadArgumentsAreUsageErrorsBeforeAnyExchange) {
    SimProcess sim(DELVAR_SIM_PATH, {});
    CliResult r = RunCli(Tcp(sim) + " power 5 10");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(RunCli(Tcp(sim) + " run sideways").exitCode, 2);
    EXPECT_EQ(RunCli(Tcp(sim) + " select 100").exitCode, 2);
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

    CliResult refused = RunCli(Tcp(sim) + " select 2");
    EXPECT_EQ(refused.exitCode, 1) << "no new selection while a process runs";
    EXPECT_NE(refused.err.find("Bad Mode"), std::string::npos) << refused.err;

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
    std::size_t polls = 0;
    for (std::size_t at = r.out.find("Phase: "); at != std::string::npos;
         at = r.out.find("Phase: ", at + 1))
        ++polls;
    EXPECT_GE(polls, 2u);
    EXPECT_LE(polls, 4u);
}

}  // namespace
}  // namespace delvar::testing
