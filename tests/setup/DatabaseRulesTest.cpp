// The reading rules of an open and the writing rules of a save, each on the column
// it concerns.
#include <gtest/gtest.h>

#include "setup/DatabaseRig.h"
#include "setup/DbRules.h"

namespace delvar::testing {
namespace {

using namespace delvar::setup;

struct DatabaseRules : ::testing::Test {
    DatabaseRig rig;
    std::string Open(const std::string& sql) {
        const std::string path = rig.SavedFile("Rules.mdb", sql);
        EXPECT_FALSE(path.empty());
        EXPECT_TRUE(rig.db.DBOpen(path)) << rig.dialogs.LastText();
        return path;
    }
};

TEST_F(DatabaseRules, LayerValuesAreMendedOnReading) {
    Open(
        "UPDATE Processes SET First_Layer=4, Number_Act_Layers=3 WHERE Process_Number=1;"
        "UPDATE Layers SET Max_Power1=0, Slew_Rate1=0, Film_Number=0, Output_Number=-3,"
        " Ramp1_Enabled=1, Ramp2_Enabled=0, Ramp3_Enabled=NULL, Ramp4_Enabled=-1,"
        " Next_Layer=0, CoDep_Layer=9 WHERE Layer_Number=4;"
        "UPDATE Layers SET Max_Power1=30, Slew_Rate1=12.5, Film_Number=3, Output_Number=2,"
        " Next_Layer=-1, CoDep_Layer=-1 WHERE Layer_Number=9;"
        "UPDATE Layers SET Rate=9 WHERE Layer_Number=5");
    const LayerRec& top = rig.data->layers[4];
    EXPECT_EQ(top.Max_Power1, 25);
    EXPECT_EQ(top.Slew_Rate1, 25);
    EXPECT_EQ(top.Film_Number, 1);
    EXPECT_EQ(top.Output_Number, 1);
    EXPECT_EQ(
        top.Ramp1_Enabled + 2 * top.Ramp2_Enabled + 4 * top.Ramp3_Enabled + 8 * top.Ramp4_Enabled,
        9.0);
    EXPECT_EQ(top.Layer_Deleted, 0);
    // Next_Layer 0 continues at the CoDep partner; the walk ends at its "none" links.
    const LayerRec& partner = rig.data->layers[9];
    EXPECT_EQ(partner.Max_Power1, 30);
    EXPECT_EQ(partner.Layer_Deleted, 0);
    EXPECT_EQ(rig.data->layers[5].Rate, 0) << "a layer outside every chain is not read";
    EXPECT_EQ(rig.data->layers[5].Layer_Deleted, 1);
}

TEST_F(DatabaseRules, FrequenciesInHzOrMHz) {
    Open("UPDATE System SET \"Min Freq\"=5000000, \"Max Freq\"=6100000");
    EXPECT_DOUBLE_EQ(rig.data->system.Min_Freq, 5.0);
    EXPECT_DOUBLE_EQ(rig.data->system.Max_Freq, 6.1);
    Open("UPDATE System SET \"Min Freq\"=5.0, \"Max Freq\"=6.0");
    EXPECT_DOUBLE_EQ(rig.data->system.Min_Freq, 5.0);
    EXPECT_DOUBLE_EQ(rig.data->system.Max_Freq, 6.0);
    Open("UPDATE System SET \"Min Freq\"=9.99, \"Max Freq\"=6500000");
    EXPECT_DOUBLE_EQ(rig.data->system.Max_Freq, 6500000) << "Min Freq alone decides";
}

TEST_F(DatabaseRules, NamesLoseCommasAndKeepUnderscores) {
    Open(
        "UPDATE Processes SET Process_Name='Ti,Au, stack' WHERE Process_Number=2;"
        "UPDATE Films SET Film_Name='A,B' WHERE Film_Number=3;"
        "UPDATE Materials SET Material='Gold,Au' WHERE MatNum=4;"
        "UPDATE Logic SET Name='  Vent_if_hot ' WHERE Number=5;"
        "UPDATE InputsV9 SET Name='Door_open' WHERE Number=6;"
        "UPDATE RelaysV9 SET Name='Shutter_A_very_long_name' WHERE Number=7;"
        "UPDATE Sensors SET UseInputs='  1:2:3 ', UseRelays=' 4:5 ' WHERE Number=1");
    EXPECT_EQ(rig.data->processes[2].Process_Name, "TiAu stack      ");
    EXPECT_EQ(rig.data->films[3].Film_Name, "AB              ");
    EXPECT_EQ(rig.data->materials[4].Material, "GoldAu          ");
    EXPECT_EQ(rig.data->logic[5].Name, "Vent_if_hot     ");
    EXPECT_EQ(rig.data->inputs[6].Name, "Door_open       ");
    EXPECT_EQ(rig.data->relays[7].Name, "Shutter_A_very_l");
    EXPECT_EQ(rig.data->sensors[1].UseInputs, "1:2:3");
    EXPECT_EQ(rig.data->sensors[1].UseRelays, "4:5");
}

TEST_F(DatabaseRules, NumbersStoredAsTextOrRealAreConvertedAndIndexesMended) {
    Open(
        "UPDATE Films SET Tooling='120', Pterm=' 2.5 ', Pocket=2.5, Sample_Hold=3.5,"
        " Material_Index=0 WHERE Film_Number=1");
    EXPECT_EQ(rig.data->films[1].Tooling, 120);
    EXPECT_EQ(rig.data->films[1].Pterm, 2.5);
    EXPECT_EQ(rig.data->films[1].Pocket, 2) << "halves go to the even neighbour";
    EXPECT_EQ(rig.data->films[1].Sample_Hold, 4);
    EXPECT_EQ(rig.data->films[1].Material_Index, 1);
}

TEST_F(DatabaseRules, SaveWritesTheStoredForms) {
    SetupData& s = *rig.data;
    s.system.Min_Freq = 5.25, s.system.Max_Freq = 6.5, s.system.Alpha = 2.35;
    s.sensors[1].UseInputs = "", s.sensors[1].UseRelays = "1:1:1";
    s.sources[2].UseInputs = "1:2", s.sources[2].UseRelays = "";
    s.processes[1].First_Layer = 3, s.processes[1].Number_Act_Layers = 1;
    s.layers[3].Ramp1_Enabled = 0.5, s.layers[3].Ramp2_Enabled = 0, s.layers[3].Ramp3_Enabled = -1;
    s.logic[1].Name = FixedName("Keep_under");
    const std::string path = rig.Path("Stored.mdb");
    ASSERT_TRUE(rig.db.DBSave(path));
    EXPECT_EQ(rig.Scalar(path, "SELECT \"Min Freq\" FROM System"), "5250000.0");
    EXPECT_EQ(rig.Scalar(path, "SELECT \"Max Freq\" FROM System"), "6500000.0");
    EXPECT_EQ(rig.Scalar(path, "SELECT Alpha = 2.35 AND Rate_FilterAlpha_TC = 2.35 FROM System"),
              "1");
    EXPECT_EQ(rig.Scalar(path, "SELECT UseInputs || '|' || UseRelays FROM Sensors WHERE Number=1"),
              std::string(kNoAssignments) + "|" + kNoAssignments);
    EXPECT_EQ(rig.Scalar(path, "SELECT UseInputs || '|' || UseRelays FROM Sources WHERE Number=2"),
              "1:2|");
    EXPECT_EQ(rig.Scalar(path,
                         "SELECT Ramp1_Enabled || Ramp2_Enabled || Ramp3_Enabled FROM "
                         "Layers WHERE Layer_Number=3"),
              "101");
    EXPECT_EQ(rig.Scalar(path, "SELECT Name FROM Logic WHERE Number=1"), "Keep_under      ");
}

}  // namespace
}  // namespace delvar::testing
