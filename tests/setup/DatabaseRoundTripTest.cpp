// Whole setups through save and open, and what a saved file holds.
#include <gtest/gtest.h>

#include "setup/DatabaseRig.h"
#include "setup/DbColumns.h"
#include "setup/DbTables.h"
#include "setup/FullSetup.h"

namespace delvar::testing {
namespace {

using namespace delvar::setup;

template <class Rec, int N>
void ExpectSameTable(const Table<Rec, N>& want, const Table<Rec, N>& got, const char* kind) {
    for (int n = 1; n <= N; ++n) EXPECT_TRUE(want[n] == got[n]) << kind << " " << n;
}

void ExpectSameSetup(const SetupData& want, const SetupData& got) {
    ExpectSameTable(want.processes, got.processes, "process");
    ExpectSameTable(want.layers, got.layers, "layer");
    ExpectSameTable(want.films, got.films, "film");
    ExpectSameTable(want.materials, got.materials, "material");
    ExpectSameTable(want.sensors, got.sensors, "sensor");
    ExpectSameTable(want.sources, got.sources, "source");
    ExpectSameTable(want.inputs, got.inputs, "input");
    ExpectSameTable(want.relays, got.relays, "relay");
    ExpectSameTable(want.logic, got.logic, "statement");
    EXPECT_TRUE(want.system == got.system);
}

TEST(DatabaseRoundTrip, EveryFieldOfEveryRecordComesBack) {
    DatabaseRig rig;
    FillFullSetup(*rig.data);
    auto want = std::make_unique<SetupData>(*rig.data);
    // A layer outside every chain is not saved; it opens with its defaults.
    rig.data->layers[995].Rate = 42;
    rig.data->layers[995].Film_Number = 7;
    const std::string path = rig.Path("Full.mdb");
    ASSERT_TRUE(rig.db.DBSave(path)) << rig.dialogs.LastText();

    auto back = DatabaseRig::Fresh();
    modDatabase opener(*back, {rig.dialogs, rig.errors, rig.progress},
                       rig.Options(rig.folder.path));
    ASSERT_TRUE(opener.DBOpen(path)) << rig.dialogs.LastText();
    EXPECT_EQ(opener.CurrentDatabase(), path);
    ExpectSameSetup(*want, *back);
    EXPECT_TRUE(rig.dialogs.Texts().empty());
    EXPECT_EQ(rig.errors.Depth(), 0);
}

TEST(DatabaseRoundTrip, SavingOverAFileRemovesWhatIsNotWrittenAgain) {
    DatabaseRig rig;
    const std::string path =
        rig.SavedFile("Over.mdb",
                      "UPDATE Layers SET Rate=42 WHERE Layer_Number=995; CREATE TABLE Junk (x);"
                      "INSERT INTO Materials (MatNum, Material) VALUES (100, 'Second hundred')");
    ASSERT_FALSE(path.empty());
    FillFullSetup(*rig.data);
    ASSERT_TRUE(rig.db.DBSave(path));
    EXPECT_EQ(rig.Scalar(path, "SELECT Rate IS NULL FROM Layers WHERE Layer_Number=995"), "1");
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM sqlite_master WHERE name='Junk'"), "0");
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM Materials"), "100");
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM Layers"), "999");
    EXPECT_EQ(rig.Scalar(path, "SELECT Value FROM Properties WHERE Name='Version'"), "7.00");
}

TEST(DatabaseFile, SavedFileHasFullTablesAndTheTwelveQueries) {
    DatabaseRig rig;
    const std::string path = rig.SavedFile("Queries.mdb");
    ASSERT_FALSE(path.empty());
    for (const TableDesc& view : RecordViews())
        EXPECT_EQ(rig.Scalar(path, std::string("SELECT COUNT(*) FROM \"") + view.table + "\""),
                  std::to_string(view.rows))
            << view.table;
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM Queries"), "12");
    EXPECT_EQ(rig.Scalar(path, "SELECT SQL FROM Queries WHERE Name='Process Query'"),
              "PARAMETERS intProcNum Integer;SELECT * FROM Processes WHERE "
              "Process_Number=intProcNum");
    EXPECT_EQ(rig.Scalar(path, "SELECT SQL FROM Queries WHERE Name='RelayV9 Query'"),
              "PARAMETERS intRelayNum Integer;SELECT * FROM RelaysV9 WHERE Number=intRelayNum");
    EXPECT_EQ(rig.Scalar(path, "SELECT SQL FROM Queries WHERE Name='System Query'"),
              "SELECT * FROM System");
    // Added rows carry their numbered names and "no layer".
    EXPECT_EQ(rig.Scalar(path, "SELECT First_Layer FROM Processes WHERE Process_Number=7"), "-1");
    EXPECT_EQ(rig.Scalar(path, "SELECT Name FROM Queries WHERE Name='Layer Query'"), "Layer Query");
}

TEST(DatabaseFile, AnOpenKeepsStoredQueriesAndAddsMissingOnes) {
    DatabaseRig rig;
    const std::string path =
        rig.SavedFile("Q.mdb",
                      "DELETE FROM Queries WHERE Name='Film Query';"
                      "UPDATE Queries SET SQL='kept' WHERE Name='Layer Query'");
    ASSERT_TRUE(rig.db.DBOpen(path));
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM Queries"), "12");
    EXPECT_EQ(rig.Scalar(path, "SELECT SQL FROM Queries WHERE Name='Layer Query'"), "kept");
}

// The schema file and the column tables of the program describe the same file.
std::string DeclaredType(ColumnType type) {
    switch (type) {
        case ColumnType::Integer:
            return "SMALLINT";
        case ColumnType::Long:
            return "INTEGER";
        case ColumnType::Double:
            return "DOUBLE";
        case ColumnType::YesNo:
            return "BOOLEAN";
        case ColumnType::Text:
            return "TEXT";
    }
    return "";
}

template <class Rec>
void ExpectTemplateColumns() {
    const std::string table = TableOf<Rec>();
    for (const ColumnInfo& column : ColumnsOf<Rec>())
        EXPECT_EQ(DatabaseRig::Scalar(DELVAR_BLANK_TEMPLATE,
                                      "SELECT type FROM pragma_table_info('" + table +
                                          "') WHERE name='" + column.name + "'"),
                  DeclaredType(column.type))
            << table << "." << column.name;
}

TEST(DatabaseFile, BlankTemplateMatchesTheRecordColumns) {
    ExpectTemplateColumns<ProcessRec>();
    ExpectTemplateColumns<LayerRec>();
    ExpectTemplateColumns<FilmRec>();
    ExpectTemplateColumns<MaterialRec>();
    ExpectTemplateColumns<SystemRec>();
    ExpectTemplateColumns<LogicRec>();
    ExpectTemplateColumns<SensorRec>();
    ExpectTemplateColumns<SourceRec>();
    ExpectTemplateColumns<InputRec>();
    ExpectTemplateColumns<RelayRec>();
    EXPECT_EQ(DatabaseRig::Scalar(DELVAR_BLANK_TEMPLATE,
                                  "SELECT Value FROM Properties WHERE Name='Version'"),
              "7.00");
    EXPECT_EQ(std::filesystem::path(DELVAR_BLANK_TEMPLATE).filename(), BlankTemplateName(7, 0, 0));
    EXPECT_EQ(BlankTemplateName(7, 0, 0), "700_Blank.mdb");
    EXPECT_EQ(BlankTemplateName(6, 3, 1), "631_Blank.mdb");
}

TEST(DatabaseProgress, OpenAndSaveReportTheirSteps) {
    DatabaseRig rig;
    FillFullSetup(*rig.data);
    const std::string path = rig.Path("Steps.mdb");
    ASSERT_TRUE(rig.db.DBSave(path));
    EXPECT_TRUE(rig.progress.Saw("Save To Database|Saving Database:|Create file Steps.mdb|0"));
    EXPECT_TRUE(rig.progress.Saw("Saving Database:|Save Data|0"));
    EXPECT_TRUE(rig.progress.Saw("Saving Process 99:|Proc 99 x       |40"));
    EXPECT_TRUE(rig.progress.Saw("Saving Film 25:|Film name 25    |50"));
    EXPECT_TRUE(rig.progress.Saw("Saving Material 100:|Mat 100         |80"));
    EXPECT_FALSE(rig.progress.shown);
    rig.progress.lines.clear();
    ASSERT_TRUE(rig.db.DBOpen(path));
    EXPECT_EQ(rig.progress.lines.front(), "Open Database|Opening database:|Steps.mdb|0");
    EXPECT_TRUE(rig.progress.Saw("Reading Process 1:|Proc 1 x        |0"));
    EXPECT_TRUE(rig.progress.Saw("Reading Process 50:|Proc 50 x       |20"));
    EXPECT_TRUE(rig.progress.Saw("Reading Film 50:|Film name 50    |60"));
    EXPECT_TRUE(rig.progress.Saw("Reading Material 1:|Mat 1           |60"));
    EXPECT_FALSE(rig.progress.shown);
}

TEST(DatabaseDebug, DumpsAreLeftOnlyWithDebugOne) {
    DatabaseRig rig;
    const std::string path = rig.Path("Dump.mdb");
    ASSERT_TRUE(rig.db.DBSave(path));
    ASSERT_TRUE(rig.db.DBOpen(path));
    EXPECT_FALSE(std::filesystem::exists(rig.folder.path / "DBOpen.txt"));
    EXPECT_FALSE(std::filesystem::exists(rig.folder.path / "DBSave.txt"));

    rig.db.Options().Debug = 1;
    rig.data->materials[2].Density = 2.5;
    ASSERT_TRUE(rig.db.DBSave(path));
    const std::string text = Slurp(rig.folder.path / "DBSave.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 99 + 999 + 50 * 5 + 100);
    EXPECT_EQ(text.rfind("Process 1, Process 1       ,-1,0,0\n", 0), 0u);
    EXPECT_NE(text.find("\nMaterial 2, Material 2      ,2.50,1.000\n"), std::string::npos);
    EXPECT_NE(text.find("\nFilm 3, Film 3          \n"), std::string::npos);
    EXPECT_NE(text.find("\nLayer 1, 0,0,0,0,1,1,250,250,1,0,0,0,"), std::string::npos);

    ASSERT_TRUE(rig.db.DBOpen(rig.Path("missing.mdb")) == false);
    EXPECT_EQ(Slurp(rig.folder.path / "DBOpen.txt").rfind("Process 1, Process 1 ", 0), 0u)
        << "a failed open leaves its dump too";
}

}  // namespace
}  // namespace delvar::testing
