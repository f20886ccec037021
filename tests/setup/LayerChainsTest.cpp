#include <gtest/gtest.h>

#include <memory>

#include "setup/LayerChains.h"

namespace delvar::setup {
namespace {

std::unique_ptr<SetupData> Fresh() {
    auto setup = std::make_unique<SetupData>();
    ResetSetupData(*setup);
    return setup;
}

TEST(SetupNames, CutOrPaddedToSixteen) {
    EXPECT_EQ(FixedName("Gold"), "Gold            ");
    EXPECT_EQ(FixedName("A name that is far too long"), "A name that is f");
    EXPECT_EQ(FixedName("").size(), 16u);
}

TEST(SetupDefaults, ResetGivesNumberedNamesAndFreeSlots) {
    auto s = Fresh();
    EXPECT_EQ(s->processes[7].Process_Name, FixedName("Process 7"));
    EXPECT_EQ(s->processes[7].First_Layer, -1);
    EXPECT_EQ(s->films[50].Film_Name, FixedName("Film 50"));
    EXPECT_EQ(s->films[3].Tooling, 100);
    EXPECT_EQ(s->materials[100].Material, FixedName("Material 100"));
    EXPECT_DOUBLE_EQ(s->materials[1].Density, 1.0);
    EXPECT_EQ(s->logic[32].Name, FixedName("<Empty>"));
    EXPECT_DOUBLE_EQ(s->system.Max_Freq, 6.1);
    EXPECT_TRUE(IsFreeLayer(s->layers[999]));
    EXPECT_EQ(s->layers[1].Layer_Deleted, 1);
    // Every other film value goes back to 0.
    s->films[2].Pterm = 12;
    s->films[2].Sens4_BkPos = 3;
    ResetSetupData(*s);
    EXPECT_DOUBLE_EQ(s->films[2].Pterm, 0);
    EXPECT_EQ(s->films[2].Sens4_BkPos, 0);
    EXPECT_EQ(s->processes.Find(0), nullptr);
    EXPECT_EQ(s->processes.Find(100), nullptr);
    EXPECT_NE(s->layers.Find(999), nullptr);
}

TEST(SetupChains, EmptyProcessCountsZero) {
    auto s = Fresh();
    RecountProcess(*s, 1);
    EXPECT_EQ(s->processes[1].Number_Layers, 0);
    EXPECT_EQ(s->processes[1].Number_Act_Layers, 0);
    EXPECT_TRUE(WalkProcess(*s, 1).empty());
}

TEST(SetupChains, InsertTopLayersAndCoDepGroups) {
    auto s = Fresh();
    int a = InsertLayer(*s, 1, 0);       // first layer of the process
    int b = InsertLayer(*s, 1, a);       // after a
    int c = InsertCoDepLayer(*s, 1, a);  // a co-deposits with c
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(s->layers[a].Next_Layer, -1);  // the group's next link moved to its last member
    EXPECT_EQ(s->layers[a].CoDep_Layer, c);
    EXPECT_EQ(s->layers[c].Next_Layer, b);
    EXPECT_EQ(s->layers[c].Film_Number, 1);
    EXPECT_EQ(s->layers[c].Layer_Deleted, 0);
    EXPECT_EQ(WalkProcess(*s, 1), (std::vector<int>{a, c, b}));
    EXPECT_EQ(s->processes[1].Number_Layers, 2);
    EXPECT_EQ(s->processes[1].Number_Act_Layers, 3);
    // A new top layer after a goes after the whole group.
    int d = InsertLayer(*s, 1, a);
    EXPECT_EQ(WalkProcess(*s, 1), (std::vector<int>{a, c, d, b}));
    // A new first layer takes the old first as its next.
    int e = InsertLayer(*s, 1, 0);
    EXPECT_EQ(s->processes[1].First_Layer, e);
    EXPECT_EQ(s->layers[e].Next_Layer, a);
    EXPECT_EQ(s->processes[1].Number_Layers, 4);
}

TEST(SetupChains, FourthCoDepLayerIsRefused) {
    auto s = Fresh();
    int top = InsertLayer(*s, 1, 0);
    for (int i = 0; i < 3; ++i) EXPECT_GT(InsertCoDepLayer(*s, 1, top), 0);
    EXPECT_EQ(InsertCoDepLayer(*s, 1, top), 0);
    EXPECT_EQ(s->processes[1].Number_Act_Layers, 4);
    EXPECT_EQ(LowestFreeLayer(*s), 5);
}

TEST(SetupChains, FullTableRefusesInserts) {
    auto s = Fresh();
    for (int n = 1; n <= kMaxLayers; ++n) s->layers[n].Film_Number = 1;  // every slot in use
    EXPECT_EQ(LowestFreeLayer(*s), 0);
    EXPECT_EQ(InsertLayer(*s, 1, 0), 0);
    EXPECT_EQ(s->processes[1].First_Layer, -1);
}

TEST(SetupChains, DeleteFirstMiddleAndCoDepMember) {
    auto s = Fresh();
    int a = InsertLayer(*s, 2, 0);
    int b = InsertLayer(*s, 2, a);
    int c = InsertLayer(*s, 2, b);
    int bc = InsertCoDepLayer(*s, 2, b);
    ASSERT_EQ(WalkProcess(*s, 2), (std::vector<int>{a, b, bc, c}));
    EXPECT_TRUE(DeleteLayer(*s, 2, bc));  // CoDep member: b carries the next link again
    EXPECT_EQ(WalkProcess(*s, 2), (std::vector<int>{a, b, c}));
    EXPECT_EQ(s->layers[b].Next_Layer, c);
    EXPECT_EQ(s->layers[b].CoDep_Layer, -1);
    EXPECT_TRUE(IsFreeLayer(s->layers[bc]));
    EXPECT_EQ(s->layers[bc].Layer_Deleted, 1);
    EXPECT_TRUE(DeleteLayer(*s, 2, b));  // middle
    EXPECT_EQ(WalkProcess(*s, 2), (std::vector<int>{a, c}));
    EXPECT_TRUE(DeleteLayer(*s, 2, a));  // first
    EXPECT_EQ(s->processes[2].First_Layer, c);
    EXPECT_EQ(s->processes[2].Number_Layers, 1);
    EXPECT_FALSE(DeleteLayer(*s, 2, a));  // no longer in the process
    EXPECT_TRUE(DeleteLayer(*s, 2, c));
    EXPECT_EQ(s->processes[2].Number_Act_Layers, 0);
    EXPECT_EQ(LowestFreeLayer(*s), 1);
}

TEST(SetupChains, BrokenAndCircularChainsAreWalkedBounded) {
    auto s = Fresh();
    ProcessRec& p = s->processes[3];
    p.First_Layer = 10;
    s->layers[10].Next_Layer = 11;
    s->layers[11].Next_Layer = 10;  // a loop
    p.Number_Act_Layers = 30000;    // and a count far beyond the table
    EXPECT_LE(WalkProcess(*s, 3).size(), std::size_t(kMaxLayers));
    RecountProcess(*s, 3);
    EXPECT_EQ(p.Number_Act_Layers, 2);
    s->layers[11].Next_Layer = 5000;  // outside the table
    RecountProcess(*s, 3);
    EXPECT_EQ(p.Number_Act_Layers, 2);
    p.Number_Act_Layers = 5;
    EXPECT_EQ(WalkProcess(*s, 3), (std::vector<int>{10, 11}));
    EXPECT_TRUE(WalkProcess(*s, 0).empty());
    EXPECT_EQ(InsertLayer(*s, 3, 999), 0);  // not a layer of this process
    EXPECT_EQ(InsertCoDepLayer(*s, 3, 0), 0);
}

}  // namespace
}  // namespace delvar::setup
