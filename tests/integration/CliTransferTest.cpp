// delvar-cli upload and download between delvar-sim and database files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "integration/CliRun.h"
#include "setup/SqliteDb.h"
#include "setup/WorkFolder.h"

namespace delvar::testing {
namespace {

namespace fs = std::filesystem;

struct CliTransfer : ::testing::Test {
    setup::WorkFolder work;
    fs::path folder = work.Path();
    std::string File(const char* name) const { return (folder / name).string(); }
    static std::string Bytes(const std::string& path) {
        std::stringstream all;
        all << std::ifstream(path, std::ios::binary).rdbuf();
        return all.str();
    }
};

// A link dropped, a CRC error or a lost reply part-way through an upload onto a good
// file: the file stays byte for byte, and the tool says nothing was saved.
struct FailedUpload : CliTransfer, ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(FailedUpload, LeavesTheFileAsItWas) {
    SimProcess clean(DELVAR_SIM_PATH, {});
    ASSERT_EQ(RunCli(Tcp(clean) + " upload --db " + File("good.mdb")).exitCode, 0);
    const std::string before = Bytes(File("good.mdb"));
    SimProcess faulty(DELVAR_SIM_PATH, {.extraArgs = GetParam()});
    ASSERT_EQ(RunCli(Tcp(faulty) + " send 'C5 1,Only here'").exitCode, 0);
    CliResult up = RunCli(Tcp(faulty) + " upload --db " + File("good.mdb"));
    EXPECT_EQ(up.exitCode, 1);
    EXPECT_NE(up.err.find("The upload failed: nothing was saved to " + File("good.mdb") + "."),
              std::string::npos)
        << up.err;
    EXPECT_EQ(Bytes(File("good.mdb")), before);
}

INSTANTIATE_TEST_SUITE_P(Faults, FailedUpload,
                         ::testing::Values(std::vector<std::string>{"--drop-after", "1040"},
                                           std::vector<std::string>{"--corrupt-every", "300"},
                                           std::vector<std::string>{"--silent-every", "500"}));

TEST_F(CliTransfer, TheErrorReportNamesTheProgramsFolder) {
    SimProcess sim(DELVAR_SIM_PATH, {});
    ASSERT_EQ(RunCli(Tcp(sim) + " upload --db " + File("d.mdb")).exitCode, 0);
    {
        setup::SqliteDb db(File("d.mdb"));
        db.Exec("UPDATE Films SET Tooling=70000 WHERE Film_Number=3");
    }
    ::setenv("XDG_DATA_HOME", File("home").c_str(), 1);
    CliResult dump = RunCli("db dump " + File("d.mdb"));
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(dump.exitCode, 1);
    std::string report;
    for (const auto& entry : fs::recursive_directory_iterator(File("home")))
        if (entry.path().filename() == "ERRORS.TXT") report = Bytes(entry.path().string());
    const std::string folder = fs::path(DELVAR_CLI_PATH).parent_path().string();
    EXPECT_NE(report.find("App Path: " + folder + "\r\n"), std::string::npos) << report;
}

TEST_F(CliTransfer, UploadThenDownloadCarriesTheSetupBetweenInstruments) {
    SimProcess from(DELVAR_SIM_PATH, {});
    ASSERT_EQ(RunCli(Tcp(from) + " send 'C3 1,Optical stack' 'A1 4 Chromium' 'F7 2,720'").exitCode,
              0);
    CliResult up = RunCli(Tcp(from) + " upload --db " + File("setup.mdb"));
    ASSERT_EQ(up.exitCode, 0) << up.err;
    EXPECT_EQ(up.err, "");
    EXPECT_EQ(RunCli("db version " + File("setup.mdb")).out, "7.00\n");
    const std::string dump = RunCli("db dump " + File("setup.mdb")).out;
    EXPECT_NE(dump.find("Process 3, Optical stack"), std::string::npos) << dump.substr(0, 300);
    EXPECT_EQ(RunCli("db version " + File("none.mdb")).exitCode, 1);
    EXPECT_EQ(RunCli("db dump " + File("none.mdb")).exitCode, 1);

    SimProcess to(DELVAR_SIM_PATH, {});
    CliResult down = RunCli(Tcp(to) + " download --db " + File("setup.mdb"));
    EXPECT_EQ(down.exitCode, 0) << down.err;
    // Without --save-before the overwrite question is answered No.
    EXPECT_EQ(down.err,
              "This will completely overwrite Delvar data.\nSave the current Delvar setup before "
              "download?\n");
    CliResult check = RunCli(Tcp(to) + " send 'C3? 1' 'A1 4?' 'F7? 2'");
    EXPECT_EQ(check.out, "Optical stack\nChromium\n720\n");
    EXPECT_TRUE(fs::exists(File("setup_org.mdb"))) << "the database was backed up first";
}

TEST_F(CliTransfer, SaveBeforeKeepsTheInstrumentsOwnSetup) {
    SimProcess from(DELVAR_SIM_PATH, {});
    ASSERT_EQ(RunCli(Tcp(from) + " upload --db " + File("setup.mdb")).exitCode, 0);
    SimProcess to(DELVAR_SIM_PATH, {});
    ASSERT_EQ(RunCli(Tcp(to) + " send 'C9 1,Keep me'").exitCode, 0);
    CliResult down = RunCli(Tcp(to) + " download --db " + File("setup.mdb") + " --save-before " +
                            File("before.mdb"));
    EXPECT_EQ(down.exitCode, 0) << down.err;
    EXPECT_EQ(RunCli(Tcp(to) + " send 'C9? 1'").out, "Process 9\n");
    // The instrument's setup before the download, back on a third instrument.
    SimProcess third(DELVAR_SIM_PATH, {});
    ASSERT_EQ(RunCli(Tcp(third) + " download --processes --db " + File("before.mdb")).exitCode, 0);
    EXPECT_EQ(RunCli(Tcp(third) + " send 'C9? 1'").out, "Keep me\n");
}

TEST_F(CliTransfer, RefusalsAndBadArguments) {
    SimProcess two(DELVAR_SIM_PATH, {.extraArgs = {"--channels", "2"}});
    SimProcess four(DELVAR_SIM_PATH, {});
    ASSERT_EQ(RunCli(Tcp(four) + " send 'D1  6,3'").exitCode, 0);  // process 1 on output 3
    ASSERT_EQ(RunCli(Tcp(four) + " upload --db " + File("four.mdb")).exitCode, 0);
    CliResult refused = RunCli(Tcp(two) + " download --db " + File("four.mdb"));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(
        refused.err.find("Instrument Write Error: Process 1 requires four channel Delvar.\n"
                         "Process downloads aborted!\n4 Channels Required\n"
                         "Wrong instrument for this database.\nRemaining downloads aborted.\n"),
        std::string::npos)
        << refused.err;

    // Onto a file that is not a setup database: refused, the file left alone.
    std::ofstream(File("photos.db")).close();
    setup::SqliteDb(File("photos.db")).Exec("CREATE TABLE Photos (id, taken)");
    const std::string photos = Bytes(File("photos.db"));
    CliResult foreign = RunCli(Tcp(four) + " upload --db " + File("photos.db"));
    EXPECT_EQ(foreign.exitCode, 1);
    EXPECT_EQ(foreign.err, "File " + File("photos.db") + " is not a setup database.\n");
    EXPECT_EQ(Bytes(File("photos.db")), photos);

    EXPECT_EQ(RunCli(Tcp(four) + " download --db " + File("missing.mdb")).exitCode, 1);
    SimProcess silent(DELVAR_SIM_PATH, {.extraArgs = {"--silent-every", "1"}});
    CliResult offline = RunCli(Tcp(silent) + " upload --db " + File("never.mdb"));
    EXPECT_EQ(offline.exitCode, 1);
    EXPECT_FALSE(fs::exists(File("never.mdb")))
        << "nothing is saved when the instrument is off line";
}

}  // namespace
}  // namespace delvar::testing
