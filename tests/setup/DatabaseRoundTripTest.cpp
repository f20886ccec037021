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
void ExpectSame(const Table<Rec, N>& want, const Table<Rec, N>& got) {
    for (int n = 1; n <= N; ++n) EXPECT_TRUE(want[n] == got[n]) << TableOf<Rec>() << " " << n;
}
template <class... Tables>
void ExpectAllSame(const SetupData& want, const SetupData& got, Tables SetupData::*... tables) {
    (ExpectSame(want.*tables, got.*tables), ...);
}

TEST(DatabaseRoundTrip, EveryFieldOfEveryRecordComesBack) {
    DatabaseRig rig;
    FillFullSetup(*rig.data);
    auto want = std::make_unique<SetupData>(*rig.data);
    // A layer outside every chain is not saved; it opens with its defaults.
    rig.data->layers[995].Rate = 42;
    const std::string path = rig.Path("Full.mdb");
    ASSERT_TRUE(rig.db.DBSave(path)) << rig.dialogs.LastText();
    auto back = rig.OpenedCopy(path);
    ASSERT_TRUE(back) << rig.dialogs.LastText();
    ExpectAllSame(*want, *back, &SetupData::processes, &SetupData::layers, &SetupData::films,
                  &SetupData::materials, &SetupData::sensors, &SetupData::sources,
                  &SetupData::inputs, &SetupData::relays, &SetupData::logic);
    EXPECT_TRUE(want->system == back->system);
    EXPECT_TRUE(rig.dialogs.Texts().empty());
    EXPECT_EQ(rig.progress.lines.back(), "Reading Material 100:|Mat 100         |80");
}

TEST(DatabaseRoundTrip, ASaveLeavesFullTablesTheQueriesAndNothingOfTheOldFile) {
    DatabaseRig rig;
    const std::string path =
        rig.SavedFile("Over.mdb",
                      "UPDATE Layers SET Rate=42 WHERE Layer_Number=995; CREATE TABLE Junk (x);"
                      "DELETE FROM Queries WHERE Name='Film Query';"
                      "INSERT INTO Materials (MatNum, Material) VALUES (100, 'Second hundred')");
    ASSERT_TRUE(rig.db.DBSave(path));
    EXPECT_EQ(rig.Scalar(path, "SELECT Rate IS NULL FROM Layers WHERE Layer_Number=995"), "1");
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM sqlite_master WHERE name='Junk'"), "0");
    for (const TableDesc& view : RecordViews())
        EXPECT_EQ(rig.Scalar(path, std::string("SELECT COUNT(*) FROM \"") + view.table + "\""),
                  std::to_string(view.rows))
            << view.table;
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM Queries"), "12");
    EXPECT_EQ(rig.Scalar(path, "SELECT COUNT(*) FROM Queries WHERE Name='Film Query'"), "1");
    EXPECT_EQ(rig.Scalar(path, "SELECT Value FROM Properties WHERE Name='Version'"), "7.00");
}

// The schema file and the column tables of the program describe the same file.
constexpr const char* kTypes[] = {"SMALLINT", "INTEGER", "DOUBLE", "BOOLEAN", "TEXT"};

template <class... Recs>
void ExpectTemplateColumns() {
    (
        [] {
            for (const ColumnInfo& column : ColumnsOf<Recs>())
                EXPECT_EQ(DatabaseRig::Scalar(DELVAR_BLANK_TEMPLATE,
                                              "SELECT type FROM pragma_table_info('" +
                                                  std::string(TableOf<Recs>()) + "') WHERE name='" +
                                                  column.name + "'"),
                          kTypes[int(column.type)])
                    << TableOf<Recs>() << "." << column.name;
        }(),
        ...);
}

TEST(DatabaseFile, BlankTemplateMatchesTheRecordColumns) {
    static_assert(int(ColumnType::Integer) == 0 && int(ColumnType::Text) == 4);
    ExpectTemplateColumns<ProcessRec, LayerRec, FilmRec, MaterialRec, SystemRec, LogicRec,
                          SensorRec, SourceRec, InputRec, RelayRec>();
    EXPECT_EQ(std::filesystem::path(DELVAR_BLANK_TEMPLATE).filename(), BlankTemplateName(7, 0, 0));
}

}  // namespace
}  // namespace delvar::testing
