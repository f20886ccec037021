// Every record kind written to delvar-sim, read back into a fresh setup and compared;
// wire values and names through the database, the instrument and back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "commands/modCommFilm.h"
#include "commands/modCommLogic.h"
#include "commands/modCommProcess.h"
#include "commands/modCommSystem.h"
#include "integration/SimLink.h"
#include "setup/DatabaseRig.h"
#include "setup/LayerChains.h"
#include "support/ScriptedDialogs.h"

namespace delvar::testing {
namespace {

using namespace delvar::commands;

struct RoundTrip : ::testing::Test {
    SimLink sim{Transport::Tcp};
    link::Link& link = sim.Link();
    std::unique_ptr<setup::SetupData> sent = Fresh();
    std::unique_ptr<setup::SetupData> back = Fresh();
    ScriptedDialogs dialogs;

    static std::unique_ptr<setup::SetupData> Fresh() {
        auto s = std::make_unique<setup::SetupData>();
        setup::ResetSetupData(*s);
        return s;
    }
    void SetUp() override {
        ASSERT_TRUE(sim.Opened());
        link.SendCommand("J");
        link.MutableInfo().ChannelCount = 4;
    }
};

TEST_F(RoundTrip, ProcessAndLayers) {
    int first = setup::InsertLayer(*sent, 3, 0);
    int second = setup::InsertLayer(*sent, 3, first);
    sent->processes[3].Process_Name = setup::FixedName("Mirror stack");
    setup::LayerRec& l = sent->layers[second];
    l.Rate = 12.5;
    l.Final_Thick = 1.234;
    l.Time_Setpoint = 30;
    l.Output_Number = 2;
    l.Max_Power1 = 80.5;
    l.Sensor2 = 1;
    l.Ramp1_Enabled = 1;
    l.Ramp1_Start = 0.5;
    l.Ramp1_Rate = 20;
    l.Rate_Dev_Alarm = 12.5;
    l.FS_Thick = 2.5;
    EXPECT_EQ(WriteProcess(link, *sent, 3, 0), 0);
    for (int layer : setup::WalkProcess(*sent, 3)) EXPECT_EQ(WriteLayer(link, *sent, layer, 0), 0);
    EXPECT_EQ(ReadProcess(link, *back, 3, 0), 0);
    EXPECT_EQ(back->processes[3].Process_Name, sent->processes[3].Process_Name);
    EXPECT_EQ(back->processes[3].First_Layer, first);
    EXPECT_EQ(back->processes[3].Number_Act_Layers, 2);
    // The chain is read layer by layer, as an upload does.
    for (int layer = back->processes[3].First_Layer, steps = 0;
         back->layers.Find(layer) && steps < 10; layer = back->layers[layer].Next_Layer, ++steps)
        ASSERT_EQ(ReadLayer(link, *back, layer, 0), 0) << "layer " << layer;
    for (int p = 1; p <= kLayerWireParams; ++p)
        EXPECT_EQ(GetLayerParam(back->layers[second], p), GetLayerParam(l, p)) << "parameter " << p;
}

TEST_F(RoundTrip, FilmsAndMaterials) {
    setup::FilmRec& f = sent->films[7];
    f.Film_Name = setup::FixedName("Gold 100nm");
    f.Pterm = 40;
    f.Iterm = 1.5;
    f.Dterm = 0.2;
    f.Material_Index = 5;
    f.Tooling = 110;
    f.Ramp1_Power = 25.5;
    f.Ramp1_Time = 30;
    f.Soak1_Time = 20;
    f.Capture = 5;
    f.Sens2_Back = 3;
    EXPECT_EQ(WriteFilm(link, *sent, 7), 0);
    EXPECT_EQ(ReadFilm(link, *back, 7), 0);
    for (int code : {101, 201, 202, 203, 204, 206, 301, 302, 303, 402, 507})
        EXPECT_EQ(GetFilmParam(back->films[7], code), GetFilmParam(f, code)) << code;

    setup::MaterialRec& m = sent->materials[12];
    m.Material = setup::FixedName("Gold");
    m.Density = 19.3;
    m.ZFactor = 0.381;
    EXPECT_EQ(WriteMaterial(link, dialogs, *sent, 12, 0), 0);
    EXPECT_EQ(ReadMaterial(link, dialogs, *back, 12, 0), 0);
    EXPECT_EQ(back->materials[12].Material, m.Material);
    EXPECT_DOUBLE_EQ(back->materials[12].Density, 19.3);
    EXPECT_DOUBLE_EQ(back->materials[12].ZFactor, 0.381);
    EXPECT_TRUE(dialogs.messages.empty());
}

// Scaled values travel as whole numbers and come back exact.
TEST_F(RoundTrip, SystemSensorsSourcesIoAndLogic) {
    std::vector<std::string> wire;
    link.OnCommand = [&](const std::string& command) { wire.push_back(command); };
    setup::SystemRec& s = sent->system;
    s.Period = 0.5;
    s.System_Tooling = 95;
    s.Min_Freq = 4.5;
    s.Max_Freq = 6.0;
    s.Password = 1234;
    EXPECT_EQ(WriteSystem(link, s, 0), 0);
    EXPECT_EQ(ReadSystem(link, back->system, 0), 0);
    for (int p : {1, 2, 5, 6, 7, 14, 15, 16, 17, 18, 19})
        EXPECT_EQ(GetSystemParam(back->system, p), GetSystemParam(s, p)) << p;

    sent->sensors[2].Tooling = 105;
    sent->sensors[2].Num_Positions = 6;
    sent->sensors[2].Shutter_Delay = 1.001;
    sent->sensors[2].UseInputs = "1:0:0:0:0:0:0:0:0:0:0:0:0:0:0:2";
    sent->sources[3].Voltage_Scale = 7.5;
    sent->sources[3].Shutter_Delay = 2.01;
    EXPECT_EQ(WriteSensor(link, sent->sensors, 2, 0), 0);
    EXPECT_EQ(WriteSensorIO(link, sent->sensors, 2, 1), 0);
    EXPECT_EQ(WriteSource(link, sent->sources, 3, 0), 0);
    EXPECT_EQ(ReadSensor(link, back->sensors, 2, 0), 0);
    EXPECT_EQ(ReadSensorIO(link, back->sensors, 2, 1), 0);
    EXPECT_EQ(ReadSource(link, back->sources, 3, 0), 0);
    EXPECT_TRUE(back->sensors[2] == sent->sensors[2]);
    EXPECT_DOUBLE_EQ(back->sources[3].Voltage_Scale, 7.5);
    EXPECT_EQ(back->sources[3].Shutter_Delay, 2.01);

    sent->inputs[5].Name = setup::FixedName("Door");
    sent->inputs[5].Pin = 5;
    sent->inputs[5].Level = 1;
    sent->relays[6].Name = setup::FixedName("Vent");
    sent->relays[6].Width = 2.007;
    sent->relays[6].Pulses = 1;
    sent->relays[6].Pin = 6;
    EXPECT_EQ(WriteInput(link, sent->inputs, 5, 0), 0);
    EXPECT_EQ(WriteRelay(link, sent->relays, 6, 0), 0);
    EXPECT_EQ(ReadInput(link, back->inputs, 5, 0), 0);
    EXPECT_EQ(ReadRelay(link, back->relays, 6, 0), 0);
    EXPECT_TRUE(back->inputs[5] == sent->inputs[5]);
    EXPECT_TRUE(back->relays[6] == sent->relays[6]);
    for (const std::string& command : wire)
        EXPECT_EQ(command.find('.'), std::string::npos) << "not a plain integer: " << command;
    EXPECT_EQ(link.SendCommand("HA2? 4"), "4,1001");
    EXPECT_EQ(link.SendCommand("HB3? 4"), "4,2010");
    EXPECT_EQ(link.SendCommand("GB6? 4"), "4,2007");

    setup::LogicRec& l = sent->logic[4];
    l.Name = setup::FixedName("Pump_down");
    l.IF = {101, 3, 205};
    l.THEN = 202;  // Relay2
    ASSERT_EQ(WriteLogic(link, sent->logic, 4), 0);
    EXPECT_EQ(ReadLogic(link, back->logic, 4), 0);
    l.Defined = 1;
    EXPECT_TRUE(back->logic[4] == l);
}

TEST_F(RoundTrip, UnusedStatementsKeepTheirBlankNames) {
    for (int n : {5, 32}) {
        ASSERT_EQ(ReadLogic(link, back->logic, n), 0);
        EXPECT_EQ(back->logic[n].Name, setup::FixedName(""));
        ASSERT_EQ(WriteLogic(link, back->logic, n), 0);
        EXPECT_EQ(link.SendCommand("I" + std::to_string(n) + "? 1"), "1,") << "a blank name";
    }
}

// A file's names opened, downloaded, uploaded and saved again: "_" names stay as they
// are, a non-ASCII name becomes 16 printable characters the instrument takes.
TEST_F(RoundTrip, NamesKeepTheirFormThroughDatabaseAndInstrument) {
    DatabaseRig rig;
    const std::string path = rig.SavedFile(
        "Names.mdb",
        "UPDATE InputsV9 SET Name='Door_open' WHERE Number=5;"
        "UPDATE RelaysV9 SET Name='Vent_valve' WHERE Number=6;"
        "UPDATE Logic SET Name='Pump_down', IF1=101, \"THEN\"=202, Defined=1 WHERE Number=4;"
        "UPDATE Processes SET Process_Name='Température élevée' WHERE Process_Number=2");
    ASSERT_TRUE(rig.db.DBOpen(path)) << rig.dialogs.LastText();
    setup::SetupData& s = *rig.data;
    EXPECT_EQ(s.processes[2].Process_Name, "Temp?rature ?lev");
    EXPECT_EQ(WriteInput(link, s.inputs, 5, 0), 0);
    EXPECT_EQ(WriteRelay(link, s.relays, 6, 0), 0);
    EXPECT_EQ(WriteLogic(link, s.logic, 4), 0);
    EXPECT_EQ(WriteProcess(link, s, 2, 1), 0);
    EXPECT_EQ(link.SendCommand("GA5? 1"), "1,Door_open");
    EXPECT_EQ(link.SendCommand("GB6? 1"), "1,Vent_valve");
    EXPECT_EQ(link.SendCommand("I4? 1"), "1,Pump_down");
    EXPECT_EQ(link.SendCommand("C2? 1"), "Temp?rature ?lev");

    s.inputs[5] = {};
    s.relays[6] = {};
    s.logic[4] = {};
    s.processes[2] = {};
    ASSERT_EQ(ReadInput(link, s.inputs, 5, 0), 0);
    ASSERT_EQ(ReadRelay(link, s.relays, 6, 0), 0);
    ASSERT_EQ(ReadLogic(link, s.logic, 4), 0);
    ASSERT_EQ(ReadProcess(link, s, 2, 1), 0);
    const std::string again = rig.Path("Again.mdb");
    ASSERT_TRUE(rig.db.DBSave(again)) << rig.dialogs.LastText();
    auto stored = [&](const std::string& sql) { return rig.Scalar(again, "SELECT trim(" + sql); };
    EXPECT_EQ(stored("Name) FROM InputsV9 WHERE Number=5"), "Door_open");
    EXPECT_EQ(stored("Name) FROM RelaysV9 WHERE Number=6"), "Vent_valve");
    EXPECT_EQ(stored("Name) FROM Logic WHERE Number=4"), "Pump_down");
    EXPECT_EQ(stored("Process_Name) FROM Processes WHERE Process_Number=2"), "Temp?rature ?lev");
    auto first = std::make_unique<setup::SetupData>(s);
    ASSERT_TRUE(rig.db.DBOpen(again)) << rig.dialogs.LastText();
    EXPECT_TRUE(s.inputs[5] == first->inputs[5] && s.logic[4] == first->logic[4]);
}

}  // namespace
}  // namespace delvar::testing
