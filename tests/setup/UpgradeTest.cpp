// The version check before an open and the upgrade of old files into the current
// layout, on files the tests build in the old layouts.
#include <gtest/gtest.h>

#include <fstream>

#include "setup/DatabaseRig.h"
#include "setup/UpgradeDB.h"
#include "util/Text.h"

namespace delvar::testing {
namespace {

namespace fs = std::filesystem;

// path made when missing, then sql run on it.
void RunSql(const std::string& path, const std::string& sql) {
    if (!fs::exists(path)) std::ofstream(path).close();
    DatabaseRig::Sql(path, sql);
}

// An old file: processes, layers, films, materials, system and inputs in their early
// columns, and (from version 6) a logic table.
void MakeOldFile(const std::string& path, const std::string& version, bool withLogic = false,
                 int extraLayers = 0) {
    std::string sql =
        "CREATE TABLE Processes (Process_Number SMALLINT, Process_Name TEXT, First_Layer SMALLINT,"
        " Number_Layers SMALLINT, Number_Act_Layers SMALLINT);"
        "INSERT INTO Processes VALUES (1, 'Old mirror', 3, 1, 1);"
        "CREATE TABLE Layers (Layer_Number SMALLINT, Rate DOUBLE, Film_Number SMALLINT,"
        " Next_Layer SMALLINT, CoDep_Layer SMALLINT);"
        "INSERT INTO Layers VALUES (3, 12.5, 2, -1, -1);"
        "WITH RECURSIVE n(k) AS (SELECT 4 UNION ALL SELECT k + 1 FROM n WHERE k < " +
        std::to_string(3 + extraLayers) +
        ") INSERT INTO Layers SELECT k, k, 1, -1, -1 FROM n WHERE k <= " +
        std::to_string(3 + extraLayers) +
        ";"
        "CREATE TABLE Films (Film_Number SMALLINT, Film_Name TEXT);"
        "INSERT INTO Films VALUES (2, 'Old gold');"
        "CREATE TABLE Materials (MatNum SMALLINT, Material TEXT, Density DOUBLE, ZFactor DOUBLE);"
        "INSERT INTO Materials VALUES (1, 'Gold', 19.3, 0.381);"
        "CREATE TABLE Inputs (InputNum SMALLINT, Name TEXT, \"Input Type\" SMALLINT);"
        "INSERT INTO Inputs VALUES (1, 'Door', 5);";
    if (withLogic)
        sql +=
            "CREATE TABLE Logic (Number SMALLINT, Name TEXT); INSERT INTO Logic VALUES (1, 'Old');";
    if (!version.empty()) {
        sql +=
            "CREATE TABLE Properties (Name TEXT, Value TEXT);"
            "INSERT INTO Properties VALUES ('Version', '" +
            version + "');";
    }
    RunSql(path, sql);
}

struct Upgrade : ::testing::Test {
    DatabaseRig rig;
    setup::UpgradeOptions options;
    std::string file = (rig.folder.path / "Delvar.mdb").string();

    void SetUp() override {
        options.blankTemplate = DELVAR_BLANK_TEMPLATE;
        options.tempFolder = rig.folder.path.string();
    }
    std::string Check(const std::string& path) {
        return setup::UpgradeDB(path, rig.dialogs, rig.errors, options);
    }
};

TEST_F(Upgrade, TheBlankTemplateItselfIsRefusedInAnyLetterCase) {
    const std::string copy = (rig.folder.path / "700_blank.MDB").string();
    fs::copy_file(DELVAR_BLANK_TEMPLATE, copy);
    EXPECT_EQ(Check(copy), "");
    EXPECT_EQ(rig.dialogs.LastText(),
              "File 700_blank.MDB is a blank database reserved for upgrades.\r\nSelect another "
              "database.");
}

TEST_F(Upgrade, AFileOfThisVersionOpensUnchanged) {
    ASSERT_TRUE(rig.db.DBSave(file));
    const std::string before = Slurp(file);
    EXPECT_EQ(Check(file), file);
    EXPECT_EQ(Slurp(file), before);
    EXPECT_TRUE(rig.dialogs.Texts().empty());
    EXPECT_EQ(setup::GetDBProperty(file, "version"), "7.00") << "names ignore case";
}

TEST_F(Upgrade, ANewerFileIsRefusedWithoutEndingTheProgram) {
    MakeOldFile(file, "9.10");
    const std::string before = Slurp(file);
    EXPECT_EQ(Check(file), "");
    ASSERT_EQ(rig.dialogs.messages.size(), 1u) << "and no critical exit";
    EXPECT_EQ(rig.dialogs.LastText().rfind("Database " + file + " is version 9.10\r\n", 0), 0u);
    EXPECT_EQ(Slurp(file), before);
}

TEST_F(Upgrade, AFileWithoutVersionIsUpgradedCompactedAndToppedUpWithABackup) {
    MakeOldFile(file, "");
    const std::string before = Slurp(file);
    ASSERT_EQ(Check(file), file) << rig.dialogs.LastText();
    EXPECT_EQ(setup::GetDBProperty(file, "Version"), "7.00");
    const std::string backup = (rig.folder.path / "Delvar_100.mdb").string();
    EXPECT_EQ(Slurp(backup), before);
    EXPECT_EQ(rig.WorkFolders(), 0);
    EXPECT_EQ(rig.Scalar(file, "SELECT COUNT(*) FROM Layers"), "999") << "topped up";
    ASSERT_TRUE(rig.db.DBOpen(file)) << rig.dialogs.LastText();
    EXPECT_EQ(util::Trim(rig.data->processes[1].Process_Name), "Old mirror");
    EXPECT_DOUBLE_EQ(rig.data->layers[3].Rate, 12.5);
    EXPECT_DOUBLE_EQ(rig.data->materials[1].Density, 19.3);
}

TEST_F(Upgrade, LogicComesOverFromVersionSixOnAndRowsAreAddedOnTheOpen) {
    for (const char* version : {"5.00", "6.50"}) {
        fs::remove(file);
        MakeOldFile(file, version, true);
        ASSERT_EQ(Check(file), file) << rig.dialogs.LastText();
        EXPECT_EQ(rig.Scalar(file, "SELECT COUNT(*) FROM Logic"), version[0] == '6' ? "1" : "0");
        EXPECT_EQ(rig.Scalar(file, "SELECT COUNT(*) FROM Processes"), "1") << "no top-up";
    }
    EXPECT_TRUE(fs::exists(rig.folder.path / "Delvar_650.mdb"));
    ASSERT_TRUE(rig.db.DBOpen(file)) << rig.dialogs.LastText();
    EXPECT_EQ(util::Trim(rig.data->processes[2].Process_Name), "Process 2");
}

TEST_F(Upgrade, EarlyInputTypesAreSetForNewerInstruments) {
    MakeOldFile(file, "1.05");
    options.instrumentVersion = "DELVAR  Ver 4.13";
    ASSERT_EQ(Check(file), file);
    EXPECT_EQ(rig.Scalar(file, "SELECT \"Input Type\" FROM Inputs"), "46");
}

TEST_F(Upgrade, AMissingTemplateRefusesTheUpgradeAndKeepsTheFile) {
    MakeOldFile(file, "5.00");
    const std::string before = Slurp(file);
    options.blankTemplate = (rig.folder.path / "700_Blank.mdb").string();  // not there
    EXPECT_EQ(Check(file), "");
    EXPECT_EQ(rig.dialogs.LastText().rfind(
                  " A file needed to upgrade your database to Ver. 7.00 is not available\r\n", 0),
              0u);
    EXPECT_EQ(Slurp(file), before);
    EXPECT_FALSE(fs::exists(rig.folder.path / "Delvar_500.mdb"));
}

TEST_F(Upgrade, AFailedCopyRestoresTheFileFromItsBackup) {
    MakeOldFile(file, "5.00");
    // A view over a table that is not there cannot be read.
    RunSql(file, "CREATE VIEW Outputs AS SELECT * FROM Nowhere");
    const std::string before = Slurp(file);
    EXPECT_EQ(Check(file), "");
    EXPECT_EQ(rig.dialogs.Texts().at(0).rfind(
                  "Pre V2.00 database can't be upgraded to version 7.00\r\n", 0),
              0u)
        << rig.dialogs.Texts().at(0);
    EXPECT_EQ(Slurp(file), before);
    EXPECT_FALSE(fs::exists(rig.folder.path / "Work.mdb"));
}

TEST_F(Upgrade, AMissingFileIsNotOpenedAndAForeignOneIsNotASetupDatabase) {
    EXPECT_EQ(Check(file), "");
    EXPECT_EQ(rig.dialogs.Texts().at(0).rfind("Pre V2.00 database can't be upgraded", 0), 0u);
    for (const char* kind : {"text", "empty", "sqlite"}) {
        SCOPED_TRACE(kind);
        fs::remove(file);
        std::ofstream(file) << (kind == std::string("text") ? "this is no database" : "");
        if (kind == std::string("sqlite")) RunSql(file, "CREATE TABLE Photos (id, taken)");
        const std::string before = Slurp(file);
        rig.dialogs.ClearRecord();
        EXPECT_EQ(Check(file), "");
        EXPECT_EQ(rig.dialogs.LastText(), "File " + file + " is not a setup database.");
        EXPECT_EQ(Slurp(file), before);
        EXPECT_FALSE(fs::exists(rig.folder.path / "Delvar_100.mdb")) << "no backup";
    }
}

// A first 5.00 file was upgraded under this name; a second one, with a damaged
// Layers page, gets itself back, not the first one's backup, and no default layers.
TEST_F(Upgrade, AFileThatCannotBeReadGetsItselfBackNotAnOlderBackup) {
    MakeOldFile(file, "5.00");
    const std::string first = Slurp(file);
    ASSERT_EQ(Check(file), file);
    fs::remove(file);
    MakeOldFile(file, "5.00", false, 1500);
    const std::string root = rig.Scalar(file,
                                        "SELECT rootpage FROM sqlite_master "
                                        "WHERE name='Layers'");
    {
        std::fstream damage(file, std::ios::in | std::ios::out | std::ios::binary);
        damage.seekp((std::stol(root) - 1) * 4096);
        damage << std::string(4096, '\xff');
    }
    const std::string second = Slurp(file);
    rig.dialogs.ClearRecord();
    EXPECT_EQ(Check(file), "");
    const std::string text = rig.dialogs.Texts().at(0);
    EXPECT_EQ(text.rfind("Pre V2.00 database can't be upgraded to version 7.00\r\n", 0), 0u);
    EXPECT_NE(text.find("Table Layers of the file cannot be read"), std::string::npos) << text;
    EXPECT_EQ(Slurp(file), second);
    EXPECT_EQ(Slurp(rig.folder.path / "Delvar_500.mdb"), first) << "the first backup stays";
    EXPECT_EQ(rig.WorkFolders(), 0);
}

TEST_F(Upgrade, WorksInAFolderWithAnApostrophe) {
    const fs::path odd = rig.folder.path / "Bob's files";
    fs::create_directories(odd);
    options.tempFolder = odd.string();
    file = (odd / "Delvar.mdb").string();
    MakeOldFile(file, "5.00");
    ASSERT_EQ(Check(file), file) << rig.dialogs.LastText();
    ASSERT_TRUE(rig.db.DBOpen(file));
    EXPECT_DOUBLE_EQ(rig.data->layers[3].Rate, 12.5);
}

}  // namespace
}  // namespace delvar::testing
