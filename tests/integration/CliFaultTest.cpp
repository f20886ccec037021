// delvar-cli on a noisy line, stopped by signals during a transfer, and with its
// connection taken by another client; each against a real delvar-sim.
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>

#include "integration/CliRun.h"

namespace delvar::testing {
namespace {

struct CliFault : ::testing::Test {
    std::filesystem::path folder = [] {
        char dir[] = "/tmp/delvar-clifault-XXXXXX";
        return std::filesystem::path(mkdtemp(dir));
    }();
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string File(const char* name) const { return (folder / name).string(); }
};

TEST_F(CliFault, RetriesCarryAnUploadOverANoisyLine) {
    SimProcess clean(DELVAR_SIM_PATH, {});
    ASSERT_EQ(RunCli(Tcp(clean) + " upload --db " + File("clean.mdb")).exitCode, 0);
    const std::vector<std::string> noise = {"--corrupt-every", "50"};
    SimProcess bare(DELVAR_SIM_PATH, {.extraArgs = noise});
    EXPECT_EQ(RunCli(Tcp(bare) + " upload --db " + File("bare.mdb")).exitCode, 1)
        << "the noise must hurt an upload without retries";
    SimProcess noisy(DELVAR_SIM_PATH, {.extraArgs = noise});
    CliResult r = RunCli(Tcp(noisy) + " --retries 2 upload --db " + File("noisy.mdb"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string dump = RunCli("db dump " + File("clean.mdb")).out;
    EXPECT_NE(dump.find("Process 1"), std::string::npos) << dump.substr(0, 200);
    EXPECT_EQ(RunCli("db dump " + File("noisy.mdb")).out, dump);
}

// A download stopped by SIGTERM sends XSTOP, so the instrument takes run, power and
// select again; after SIGKILL, which nothing can catch, unlock does the same.
TEST_F(CliFault, StoppedDownloadLeavesNoTransferModeAndUnlockCoversAKill) {
    SimProcess clean(DELVAR_SIM_PATH, {});
    ASSERT_EQ(RunCli(Tcp(clean) + " upload --db " + File("s.mdb")).exitCode, 0);
    // Replies in pieces a few ms apart: the download lasts seconds after its first item.
    SimProcess sim(DELVAR_SIM_PATH, {.extraArgs = {"--split"}});
    const std::string download = Tcp(sim) + " --progress download --db " + File("s.mdb");
    CliChild stopped(download);
    ASSERT_TRUE(stopped.AwaitErr("Writing Processes: Process 1\n")) << stopped.Err();
    stopped.Signal(SIGTERM);
    CliResult r = stopped.Finish();
    EXPECT_EQ(r.exitCode, 128 + SIGTERM) << r.err;
    EXPECT_NE(r.err.find("stopped by SIGTERM; XSTOP sent"), std::string::npos) << r.err;
    CliResult selected = RunCli(Tcp(sim) + " select 2");
    EXPECT_EQ(selected.exitCode, 0) << selected.err;

    CliChild killed(download);
    ASSERT_TRUE(killed.AwaitErr("Writing Processes: Process 1\n")) << killed.Err();
    killed.Signal(SIGKILL);
    killed.Finish();
    CliResult refused = RunCli(Tcp(sim) + " run start");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Bad Mode\n"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("delvar-cli unlock"), std::string::npos) << refused.err;
    EXPECT_EQ(RunCli(Tcp(sim) + " unlock").exitCode, 0);
    EXPECT_EQ(RunCli(Tcp(sim) + " select 2").exitCode, 0);
}

TEST_F(CliFault, WatchReconnectsWhenAnotherClientTookTheConnection) {
    SimProcess sim(DELVAR_SIM_PATH, {});
    CliChild watch(Tcp(sim) + " watch --seconds 600");
    ASSERT_TRUE(watch.AwaitOut("Phase: "));
    // The simulator serves one TCP client: the newcomer takes the line from watch.
    ASSERT_EQ(RunCli(Tcp(sim) + " send J").exitCode, 0);
    ASSERT_TRUE(watch.AwaitErr("Timeout\n")) << watch.Err();
    EXPECT_TRUE(watch.AwaitOut("Phase: ", Occurrences(watch.Out(), "Phase: ") + 1))
        << "no poll after the time-out: " << watch.Err();
    watch.Signal(SIGTERM);
}

}  // namespace
}  // namespace delvar::testing
