// Files that are incomplete, inconsistent, not databases or shared with other
// processes, and saves that fail or are killed part-way: clear errors, and no setup
// file is ever lost.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>

#include "setup/DatabaseRig.h"
#include "setup/FullSetup.h"

namespace delvar::testing {
namespace {

using namespace delvar::setup;
namespace fs = std::filesystem;

TEST(DatabaseOpen, MissingRowsAreAddedAndBrokenKeysAndChainsAreSafe) {
    DatabaseRig rig;
    const std::string path = rig.SavedFile(
        "Gaps.mdb",
        "DELETE FROM Layers WHERE Layer_Number > 500; DELETE FROM Processes WHERE "
        "Process_Number=5; DELETE FROM Logic WHERE Number=3; DELETE FROM System;"
        "INSERT INTO Films (Film_Number, Film_Name, Tooling) VALUES (2, 'Second copy', 300);"
        "INSERT INTO Materials (MatNum, Density) VALUES (0, 9), (101, 9);"
        "UPDATE Processes SET First_Layer=1000, Number_Act_Layers=3 WHERE Process_Number=1;"
        "UPDATE Processes SET First_Layer=20, Number_Act_Layers=999 WHERE Process_Number=3;"
        "UPDATE Layers SET Next_Layer=21, Rate=2 WHERE Layer_Number=20;"
        "UPDATE Layers SET Next_Layer=20, Rate=3 WHERE Layer_Number=21");
    ASSERT_TRUE(rig.db.DBOpen(path)) << rig.dialogs.LastText();
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM Layers"), "999");
    EXPECT_EQ(rig.Scalar(path, "SELECT First_Layer FROM Processes WHERE Process_Number=5"), "-1");
    EXPECT_EQ(rig.Scalar(path, "SELECT Name || IF1 || \"THEN\" FROM Logic WHERE Number=3"),
              "<Empty>00");
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM System"), "1");
    EXPECT_EQ(rig.data->processes[5].Process_Name, "Process 5       ");
    EXPECT_EQ(rig.data->films[2].Tooling, 100) << "the first row of a key wins";
    for (const auto& material : rig.data->materials) EXPECT_EQ(material.Density, 1.0);
    EXPECT_EQ(rig.data->layers[20].Rate, 2) << "a circular chain is walked once";
    EXPECT_EQ(rig.data->layers[21].Rate, 3);
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM Layers WHERE Layer_Number > 999"), "0");
}

struct BadFile : ::testing::Test {
    DatabaseRig rig;
    std::string good = rig.SavedFile("Good.mdb");

    // Opening path fails with the message and changes neither the file nor the setup.
    void ExpectRefused(const std::string& path, const std::string& message) {
        SCOPED_TRACE(path);
        const bool existed = fs::exists(path);
        const std::string before = existed ? Slurp(path) : "";
        rig.dialogs.ClearRecord();
        EXPECT_FALSE(rig.db.DBOpen(path));
        EXPECT_EQ(rig.db.CurrentDatabase(), "");
        EXPECT_EQ(rig.dialogs.Texts().at(0).rfind(message, 0), 0u) << rig.dialogs.LastText();
        EXPECT_EQ(fs::exists(path), existed);
        if (existed) {
            EXPECT_EQ(Slurp(path), before) << "a failed open changes nothing";
        }
        EXPECT_EQ(rig.errors.Depth(), 0);
    }
    std::string Write(const char* name, const std::string& bytes) {
        std::ofstream(rig.Path(name), std::ios::binary | std::ios::trunc) << bytes;
        return rig.Path(name);
    }
};

TEST_F(BadFile, DamagedMissingOrForeignFiles) {
    const std::string whole = Slurp(good);
    ExpectRefused(Write("half.mdb", whole.substr(0, whole.size() / 2)), "Error opening ");
    ExpectRefused(rig.Path("nowhere.mdb"), "Error opening ");
    for (const char* name : {"text.mdb", "empty.mdb", "other.db"}) {
        const std::string path = Write(name, name == std::string("text.mdb") ? "Process 1" : "");
        if (name == std::string("other.db"))
            DatabaseRig::Sql(path, "CREATE TABLE Photos (id, taken)");
        ExpectRefused(path, "File " + path + " is not a setup database.");
    }
    ExpectRefused(rig.SavedFile("NoColumn.mdb", "ALTER TABLE Films DROP COLUMN Capture"),
                  "Error opening Film 1");
    ExpectRefused(rig.SavedFile("Big.mdb", "UPDATE Films SET Tooling=70000 WHERE Film_Number=3"),
                  "Error opening Film 3");
    ExpectRefused(rig.SavedFile("Blob.mdb", "UPDATE Logic SET IF2=x'00ff' WHERE Number=9"),
                  "Error opening Statement 9");
}

TEST_F(BadFile, RefusedByTheVersionCheckLeavesTheSetupAlone) {
    rig.data->films[1].Pterm = 77;
    rig.db.Options().versionCheck = [](const std::string&) { return std::string(); };
    rig.progress.lines.clear();
    EXPECT_FALSE(rig.db.DBOpen(good));
    EXPECT_EQ(rig.data->films[1].Pterm, 77);
    EXPECT_TRUE(rig.progress.lines.empty());
}

// A second process on the file: forked, it runs sql, reports on a pipe and then
// waits for the word to go on (or to be killed).
struct OtherWriter {
    pid_t pid = -1;
    int ready[2]{}, go[2]{};
    OtherWriter(const std::string& path, const std::string& sql, const std::string& then) {
        if (::pipe(ready) != 0 || ::pipe(go) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            sqlite3* db = nullptr;
            sqlite3_open(path.c_str(), &db);
            const bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
            char byte = ok ? '1' : '0';
            (void)!::write(ready[1], &byte, 1);
            (void)!::read(go[0], &byte, 1);
            sqlite3_exec(db, then.c_str(), nullptr, nullptr, nullptr);
            ::_exit(0);
        }
        char byte = '0';
        (void)!::read(ready[0], &byte, 1);
        holding = byte == '1';
    }
    int Finish() {
        (void)!::write(go[1], "g", 1);
        int status = 0;
        ::waitpid(pid, &status, 0);
        return status;
    }
    bool holding = false;
};

struct SharedFile : ::testing::Test {
    DatabaseRig rig;
    std::string path = rig.Path("Setup.mdb");
    void SetUp() override {
        FillFullSetup(*rig.data);
        ASSERT_TRUE(rig.db.DBSave(path));
        // The setup saved next differs from the file's.
        rig.data->films[1].Pterm = 555;
        rig.data->layers[5].Rate = 9.5;
    }
    void ExpectNewSetup(const std::string& file) {
        auto back = rig.OpenedCopy(file);
        ASSERT_TRUE(back) << rig.dialogs.LastText();
        EXPECT_EQ(back->films[1].Pterm, 555);
        EXPECT_DOUBLE_EQ(back->layers[5].Rate, 9.5) << "no page of another writer";
    }
};

TEST_F(SharedFile, AWriteTransactionOfAnotherProgramIsWaitedForAndNeverLost) {
    OtherWriter other(path, "BEGIN EXCLUSIVE; UPDATE Films SET Pterm=99 WHERE Film_Number=2",
                      "COMMIT");
    ASSERT_TRUE(other.holding);
    const std::string before = Slurp(path);
    EXPECT_FALSE(rig.db.DBSave(path));
    EXPECT_EQ(rig.dialogs.Texts().at(0),
              "Error saving Setup.mdb: the file is in use by another program.");
    EXPECT_EQ(Slurp(path), before);
    EXPECT_EQ(other.Finish(), 0);
    EXPECT_EQ(rig.Scalar(path, "SELECT Pterm FROM Films WHERE Film_Number=2"), "99.0")
        << "the other program's commit is in the file";
    EXPECT_TRUE(rig.db.DBSave(path));
    ExpectNewSetup(path);
}

TEST_F(SharedFile, AHotJournalOfAKilledWriterIsRolledBackBeforeTheSave) {
    OtherWriter other(path, "PRAGMA cache_size=2; BEGIN; UPDATE Layers SET Rate=-7", "");
    ASSERT_TRUE(other.holding);
    ::kill(other.pid, SIGKILL);
    other.Finish();
    ASSERT_TRUE(fs::exists(path + "-journal")) << "the writer spilled into the file";
    ASSERT_TRUE(rig.db.DBSave(path)) << rig.dialogs.LastText();
    ExpectNewSetup(path);
}

TEST_F(SharedFile, ALinkIsFollowedAndAnEmptyFileIsFilled) {
    const std::string link = rig.Path("Link.mdb");
    fs::create_symlink(path, link);
    ASSERT_TRUE(rig.db.DBSave(link));
    EXPECT_TRUE(fs::is_symlink(link));
    ExpectNewSetup(path);
    std::ofstream(rig.Path("Empty.mdb")).close();
    ASSERT_TRUE(rig.db.DBSave(rig.Path("Empty.mdb")));
    ExpectNewSetup(rig.Path("Empty.mdb"));
}

TEST_F(SharedFile, FoldersWithAnApostropheWork) {
    const fs::path odd = rig.folder.path / "Bob's setups";
    fs::create_directories(odd);
    rig.db.Options().tempFolder = odd.string();
    ASSERT_TRUE(rig.db.DBSave((odd / "Setup.mdb").string())) << rig.dialogs.LastText();
    ExpectNewSetup((odd / "Setup.mdb").string());
}

struct InterruptedSave : SharedFile {
    std::string before;
    void SetUp() override {
        SharedFile::SetUp();
        before = Slurp(path);
    }
};

TEST_F(InterruptedSave, FailureAfterAnyStatementLeavesTheOldFile) {
    const unsigned seed = 20261207;
    std::mt19937 random(seed);
    long n = 0;
    int failures = 0;
    while (true) {
        rig.db.Options().failAfterStatements = n;
        rig.dialogs.ClearRecord();
        if (rig.db.DBSave(path)) break;
        ++failures;
        EXPECT_EQ(rig.dialogs.Texts().front().rfind("Error saving ", 0), 0u);
        EXPECT_EQ(Slurp(path), before);
        EXPECT_EQ(rig.WorkFolders(), 0);
        if (HasFailure()) FAIL() << "failure injected after " << n << " statements, seed " << seed;
        n += 1 + long(random() % 400);
    }
    EXPECT_GT(failures, 3);
    ExpectNewSetup(path);
}

TEST_F(InterruptedSave, MissingTemplateIsReportedWithNoItem) {
    rig.db.Options().blankTemplate = rig.Path("no_such_Blank.mdb");
    EXPECT_FALSE(rig.db.DBSave(path));
    EXPECT_EQ(rig.dialogs.Texts().front(), "Error saving ");
    EXPECT_EQ(Slurp(path), before);
}

// Killed while building the new database, or half way through copying it into the
// file (with pages already spilled there): the old setup opens, and the next save
// clears the work folder the killed one left.
TEST_F(InterruptedSave, KilledWhileBuildingOrCopyingLeavesTheOldSetup) {
    for (bool inCopy : {false, true}) {
        SCOPED_TRACE(inCopy ? "killed in the copy" : "killed while building");
        rig.progress.onUpdate = [inCopy](const std::string& action) {
            if (!inCopy && action == "Saving Process 50:") ::kill(::getpid(), SIGKILL);
        };
        int steps = 0;
        rig.db.Options().copy = {200, 8, 4, [&steps] {
                                     if (++steps == 5) ::kill(::getpid(), SIGKILL);
                                 }};
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            rig.db.DBSave(path);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(rig.WorkFolders(), 1);
        if (inCopy) {
            EXPECT_NE(Slurp(path), before) << "new pages were in the file";
        }
        auto old = rig.OpenedCopy(path);
        ASSERT_TRUE(old);
        EXPECT_EQ(old->films[1].Pterm, 1.25);
        rig.progress.onUpdate = nullptr;
        rig.db.Options().copy = {};
        ASSERT_TRUE(rig.db.DBSave(rig.Path("Other.mdb")));
        EXPECT_EQ(rig.WorkFolders(), 0);
    }
}

}  // namespace
}  // namespace delvar::testing
