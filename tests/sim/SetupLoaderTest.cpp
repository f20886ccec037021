// The simulator started from a setup database file.
#include <gtest/gtest.h>

#include <fstream>

#include "setup/DatabaseRig.h"
#include "setup/LayerChains.h"
#include "sim/SetupLoader.h"

namespace delvar::testing {
namespace {

using sim::RecordKind;

TEST(SimSetupLoader, EveryRecordKindArrivesInWireUnitsAndOutOfRangeValuesAreCounted) {
    DatabaseRig rig;
    setup::SetupData& s = *rig.data;
    const int layer = setup::InsertLayer(s, 6, 0);
    const int wild = setup::InsertLayer(s, 6, layer);
    s.processes[6].Process_Name = setup::FixedName("Loaded");
    s.layers[layer].Rate = 12.5;
    s.layers[layer].Final_Thick = 0.75;
    s.layers[wild].Rate = 5000;  // beyond the instrument's 999.9 A/s
    s.films[3].Film_Name = setup::FixedName("Chrome");
    s.films[3].Iterm = 1.5;
    s.materials[4].Density = 7.2;
    s.sensors[2].Shutter_Delay = 0.25;
    s.sources[1].Voltage_Scale = -7.5;
    s.inputs[5].Pin = 2;
    s.relays[3].Width = 0.5;
    s.logic[7].IF = {101, 3, 102};
    s.logic[7].THEN = 201;
    s.logic[7].Defined = 1;
    s.system.Min_Freq = 4.5;
    const std::string file = (rig.folder.path / "demo.mdb").string();
    ASSERT_TRUE(rig.db.DBSave(file));

    sim::SetupStore store;
    const sim::LoadResult loaded = sim::LoadSetupFile(file, store);
    ASSERT_TRUE(loaded.opened) << loaded.error;
    EXPECT_EQ(loaded.refused, 1);
    EXPECT_EQ(store.Number(RecordKind::Layer, wild, 1), 100) << "the default rate stays";
    EXPECT_EQ(store.Text(RecordKind::Process, 6, 1), "Loaded");
    EXPECT_EQ(store.Number(RecordKind::Process, 6, 3), layer);
    EXPECT_EQ(store.Number(RecordKind::Layer, layer, 1), 125);
    EXPECT_EQ(store.Number(RecordKind::Layer, layer, 2), 750);
    EXPECT_EQ(store.Text(RecordKind::Film, 3, 101), "Chrome");
    EXPECT_EQ(store.Number(RecordKind::Film, 3, 202), 15);
    EXPECT_EQ(store.Number(RecordKind::Material, 4, 2), 720);
    EXPECT_EQ(store.Number(RecordKind::Sensor, 2, 4), 250);
    EXPECT_EQ(store.Number(RecordKind::Source, 1, 1), -75);
    EXPECT_EQ(store.Number(RecordKind::Input, 5, 3), 2);
    EXPECT_EQ(store.Number(RecordKind::Relay, 3, 4), 500);
    EXPECT_EQ(store.Text(RecordKind::Logic, 7, 2), "101:3:102");
    EXPECT_EQ(store.Number(RecordKind::Logic, 7, 3), 201);
    EXPECT_EQ(store.Number(RecordKind::System, 1, 6), 45);
}

TEST(SimSetupLoader, AMissingOrBrokenFileIsReportedAndLeavesTheStoreAlone) {
    DatabaseRig rig;
    sim::SetupStore store;
    const sim::LoadResult none = sim::LoadSetupFile((rig.folder.path / "none.mdb").string(), store);
    EXPECT_FALSE(none.opened);
    EXPECT_NE(none.error.find("none.mdb"), std::string::npos);
    const std::string broken = (rig.folder.path / "broken.mdb").string();
    std::ofstream(broken) << "not a database at all, only some text to read";
    const sim::LoadResult bad = sim::LoadSetupFile(broken, store);
    EXPECT_FALSE(bad.opened);
    EXPECT_NE(bad.error.find("is not a setup database"), std::string::npos) << bad.error;
    EXPECT_EQ(store.Text(RecordKind::Process, 1, 1), "Process 1") << "the store is untouched";
}

}  // namespace
}  // namespace delvar::testing
