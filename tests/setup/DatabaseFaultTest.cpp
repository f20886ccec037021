// Files that are incomplete, inconsistent or not databases at all, and saves that
// fail or are killed part-way: clear errors, and no setup file is ever lost.
#include <gtest/gtest.h>
#include <signal.h>
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

// Files in folder besides the error report.
int FilesIn(const fs::path& folder) {
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        files += entry.path().filename() != "ERRORS.TXT";
    return files;
}

TEST(DatabaseOpen, MissingRowsAreAddedWithTheirDefaults) {
    DatabaseRig rig;
    const std::string path = rig.SavedFile(
        "Gaps.mdb",
        "DELETE FROM Layers WHERE Layer_Number > 500; DELETE FROM Processes WHERE "
        "Process_Number=5; DELETE FROM Films WHERE Film_Number=6; DELETE FROM Logic WHERE "
        "Number=3; DELETE FROM InputsV9 WHERE Number=2; DELETE FROM Materials WHERE MatNum=8;"
        "DELETE FROM System; DELETE FROM Sources");
    ASSERT_TRUE(rig.db.DBOpen(path)) << rig.dialogs.LastText();
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM Layers"), "999");
    EXPECT_EQ(rig.Scalar(path, "SELECT First_Layer FROM Processes WHERE Process_Number=5"), "-1");
    EXPECT_EQ(rig.Scalar(path, "SELECT Film_Name FROM Films WHERE Film_Number=6"), "Film 6");
    EXPECT_EQ(rig.Scalar(path, "SELECT Name || IF1 || IF16 || \"THEN\" FROM Logic WHERE Number=3"),
              "<Empty>000");
    EXPECT_EQ(rig.Scalar(path, "SELECT Name FROM InputsV9 WHERE Number=2"), "Input 2");
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM System"), "1");
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM Sources"), "4");
    // Empty columns of added rows leave the records at their defaults.
    EXPECT_EQ(rig.data->processes[5].Process_Name, "Process 5       ");
    EXPECT_EQ(rig.data->materials[8].Material, "Material 8      ");
    EXPECT_EQ(rig.data->materials[8].Density, 1.0);
    EXPECT_EQ(rig.data->system.Period, 0.25);
}

TEST(DatabaseOpen, FirstOfDuplicateKeysWinsAndKeysOutsideTheRangeAreIgnored) {
    DatabaseRig rig;
    const std::string path = rig.SavedFile(
        "Dups.mdb",
        "INSERT INTO Films (Film_Number, Film_Name, Tooling) VALUES (2, 'Second copy', 300);"
        "INSERT INTO Materials (MatNum, Material, Density) VALUES (0, 'Zero', 9), "
        "(101, 'Beyond', 9), (-1, 'Negative', 9);"
        "UPDATE Processes SET First_Layer=1000, Number_Act_Layers=3 WHERE Process_Number=1;"
        "UPDATE Processes SET First_Layer=10, Number_Act_Layers=5 WHERE Process_Number=2;"
        "UPDATE Layers SET Next_Layer=-1, CoDep_Layer=-1, Rate=1 WHERE Layer_Number=10;"
        "UPDATE Processes SET First_Layer=20, Number_Act_Layers=999 WHERE Process_Number=3;"
        "UPDATE Layers SET Next_Layer=21, Rate=2 WHERE Layer_Number=20;"
        "UPDATE Layers SET Next_Layer=20, Rate=3 WHERE Layer_Number=21");
    ASSERT_TRUE(rig.db.DBOpen(path)) << rig.dialogs.LastText();
    EXPECT_EQ(rig.data->films[2].Film_Name, "Film 2          ");
    EXPECT_EQ(rig.data->films[2].Tooling, 100);
    for (const auto& material : rig.data->materials) EXPECT_EQ(material.Density, 1.0);
    EXPECT_EQ(rig.data->layers[10].Rate, 1);
    EXPECT_EQ(rig.data->layers[20].Rate, 2)
        << "a circular chain is walked a bounded number of times";
    EXPECT_EQ(rig.data->layers[21].Rate, 3);
    EXPECT_EQ(
        rig.Scalar(path, "SELECT COUNT(*) FROM Layers WHERE Layer_Number NOT BETWEEN 1 AND 999"),
        "0")
        << "no row is added for a link outside the layer table";
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM Films WHERE Film_Number=2"), "2");
}

struct BadFile : ::testing::Test {
    DatabaseRig rig;
    std::string good;
    void SetUp() override {
        good = rig.SavedFile("Good.mdb");
        ASSERT_TRUE(rig.db.DBOpen(good));
        rig.dialogs.ClearRecord();
    }
    // Opening path fails with the message, leaves no current database and no file change.
    void ExpectRefused(const std::string& path, const std::string& message) {
        const bool existed = fs::exists(path);
        const std::string before = existed ? Slurp(path) : "";
        EXPECT_FALSE(rig.db.DBOpen(path));
        EXPECT_EQ(rig.db.CurrentDatabase(), "");
        EXPECT_TRUE(rig.ShowedText(message)) << rig.dialogs.LastText();
        EXPECT_EQ(fs::exists(path), existed);
        if (existed) {
            EXPECT_EQ(Slurp(path), before) << "a failed open changes nothing";
        }
        EXPECT_EQ(rig.errors.Depth(), 0);
        EXPECT_NE(Slurp(rig.folder.path / "ERRORS.TXT").find("modDatabase_DBOpen"),
                  std::string::npos);
    }
    void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
};

TEST_F(BadFile, NotADatabaseTruncatedEmptyOrMissing) {
    Write(rig.Path("text.mdb"), "Process 1, this is not a database\n");
    ExpectRefused(rig.Path("text.mdb"), "Error opening ");
    const std::string whole = Slurp(good);
    Write(rig.Path("half.mdb"), whole.substr(0, whole.size() / 2));
    ExpectRefused(rig.Path("half.mdb"), "Error opening ");
    Write(rig.Path("header.mdb"), whole.substr(0, 100));
    ExpectRefused(rig.Path("header.mdb"), "Error opening ");
    Write(rig.Path("empty.mdb"), "");
    ExpectRefused(rig.Path("empty.mdb"), "Error opening ");
    ExpectRefused(rig.Path("nowhere.mdb"), "Error opening ");
}

TEST_F(BadFile, MissingTableOrColumnAndBadValues) {
    ExpectRefused(rig.SavedFile("NoSources.mdb", "DROP TABLE Sources"), "Error opening ");
    ExpectRefused(rig.SavedFile("NoColumn.mdb", "ALTER TABLE Films DROP COLUMN Capture"),
                  "Error opening Film 1");
    ExpectRefused(rig.SavedFile("Text.mdb",
                                "UPDATE Processes SET First_Layer=1, "
                                "Number_Act_Layers=1 WHERE Process_Number=4;"
                                "UPDATE Layers SET Film_Number='abc' WHERE "
                                "Layer_Number=1"),
                  "Error opening Process 4 Layer 1");
    ExpectRefused(rig.SavedFile("Big.mdb", "UPDATE Films SET Tooling=70000 WHERE Film_Number=3"),
                  "Error opening Film 3");
    ExpectRefused(rig.SavedFile("Blob.mdb", "UPDATE Logic SET IF2=x'00ff' WHERE Number=9"),
                  "Error opening Statement 9");
    ExpectRefused(rig.SavedFile("Name.mdb", "UPDATE RelaysV9 SET Name=x'00' WHERE Number=16"),
                  "Error opening Relay 16");
}

TEST_F(BadFile, RefusedByTheVersionCheckLeavesTheSetupAlone) {
    rig.data->films[1].Pterm = 77;
    rig.db.Options().versionCheck = [](const std::string&) { return std::string(); };
    rig.progress.lines.clear();
    EXPECT_FALSE(rig.db.DBOpen(good));
    EXPECT_EQ(rig.db.CurrentDatabase(), "");
    EXPECT_EQ(rig.data->films[1].Pterm, 77);
    EXPECT_TRUE(rig.progress.lines.empty());
    EXPECT_TRUE(rig.dialogs.Texts().empty());
}

TEST_F(BadFile, AReadOnlyFileIsMadeWritableAndOpens) {
    fs::permissions(good, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_TRUE(rig.db.DBOpen(good));
    EXPECT_NE(fs::status(good).permissions() & fs::perms::owner_write, fs::perms::none);
}

struct InterruptedSave : ::testing::Test {
    DatabaseRig rig;
    std::string path;
    std::string before;
    void SetUp() override {
        FillFullSetup(*rig.data);
        path = rig.Path("Setup.mdb");
        ASSERT_TRUE(rig.db.DBSave(path));
        before = Slurp(path);
        // The setup being saved next differs from the one in the file.
        rig.data->films[1].Pterm = 555;
        rig.data->processes[1].Process_Name = FixedName("Changed");
    }
    void ExpectOldFileIntact() {
        EXPECT_EQ(Slurp(path), before);
        EXPECT_EQ(FilesIn(rig.folder.path), 1) << "no work file is left behind";
        auto back = DatabaseRig::Fresh();
        modDatabase opener(*back, {rig.dialogs, rig.errors, rig.progress},
                           rig.Options(rig.folder.path));
        ASSERT_TRUE(opener.DBOpen(path));
        EXPECT_EQ(back->films[1].Pterm, 1.25);
        EXPECT_EQ(back->processes[1].Process_Name, "Proc 1 x        ");
    }
};

TEST_F(InterruptedSave, FailureAfterAnyStatementLeavesTheOldFile) {
    std::random_device device;
    const unsigned seed = device();
    std::mt19937 random(seed);
    long n = 0;
    int failures = 0;
    while (true) {
        rig.db.Options().failAfterStatements = n;
        rig.dialogs.ClearRecord();
        if (rig.db.DBSave(path)) break;
        ++failures;
        EXPECT_EQ(rig.dialogs.Texts().front().rfind("Error saving ", 0), 0u) << "n=" << n;
        ExpectOldFileIntact();
        if (HasFailure()) FAIL() << "failure injected after " << n << " statements, seed " << seed;
        n += 1 + long(random() % 400);
    }
    EXPECT_GT(failures, 3);
    rig.db.Options().failAfterStatements.reset();
    auto back = DatabaseRig::Fresh();
    modDatabase opener(*back, {rig.dialogs, rig.errors, rig.progress},
                       rig.Options(rig.folder.path));
    ASSERT_TRUE(opener.DBOpen(path));
    EXPECT_EQ(back->films[1].Pterm, 555) << "the save that got through wrote the new setup";
}

TEST_F(InterruptedSave, NamesTheItemBeingWritten) {
    rig.db.Options().failAfterStatements = 2000;  // past the default rows, inside the records
    EXPECT_FALSE(rig.db.DBSave(path));
    const std::string text = rig.dialogs.Texts().front();
    EXPECT_EQ(text.rfind("Error saving ", 0), 0u);
    EXPECT_GT(text.size(), std::string("Error saving ").size()) << text;
    ExpectOldFileIntact();
}

TEST_F(InterruptedSave, ProgramKilledMidSaveLeavesTheOldFile) {
    rig.progress.onUpdate = [](const std::string& action) {
        if (action == "Saving Process 50:") ::kill(::getpid(), SIGKILL);
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rig.db.DBSave(path);
        ::_exit(0);  // not reached when the kill works
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    rig.progress.onUpdate = nullptr;
    // The half-written work file stays behind, under its own name.
    for (const auto& entry : fs::directory_iterator(rig.folder.path))
        if (entry.path().filename().string().rfind(".Setup.mdb.", 0) == 0) fs::remove(entry);
    ExpectOldFileIntact();
}

TEST_F(InterruptedSave, MissingTemplateIsReportedWithNoItem) {
    rig.db.Options().blankTemplate = rig.Path("no_such_Blank.mdb");
    EXPECT_FALSE(rig.db.DBSave(path));
    EXPECT_EQ(rig.dialogs.Texts().front(), "Error saving ");
    EXPECT_EQ(rig.errors.Depth(), 0);
    ExpectOldFileIntact();
}

}  // namespace
}  // namespace delvar::testing
