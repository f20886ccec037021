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

std::vector<int> Steps(const SetupData& s, int p) {
    std::vector<int> steps;  // layer, top, member of each step
    WalkChain(s, p, WalkLength::Recorded, [&](const ChainStep& step) {
        steps.insert(steps.end(), {step.layer, step.top, step.member});
        return true;
    });
    return steps;
}

TEST(SetupChains, InsertsAndDeletesKeepGroupsAndCounts) {
    auto s = Fresh();
    const int a = InsertLayer(*s, 1, 0), b = InsertLayer(*s, 1, a);
    const int c = InsertCoDepLayer(*s, 1, a);  // a co-deposits with c
    EXPECT_EQ(s->layers[a].Next_Layer, -1) << "the group's next link moved to its last member";
    EXPECT_EQ(Steps(*s, 1), (std::vector<int>{a, 1, 1, c, 1, 2, b, 2, 1}));
    const int d = InsertLayer(*s, 1, a);  // after the whole group
    EXPECT_EQ(WalkProcess(*s, 1), (std::vector<int>{a, c, d, b}));
    for (int i = 0; i < 2; ++i) EXPECT_GT(InsertCoDepLayer(*s, 1, a), 0);
    EXPECT_EQ(InsertCoDepLayer(*s, 1, a), 0) << "three CoDep layers at most";
    EXPECT_EQ(s->processes[1].Number_Layers, 3);
    EXPECT_EQ(s->processes[1].Number_Act_Layers, 6);
    EXPECT_TRUE(DeleteLayer(*s, 1, c));  // a CoDep member
    EXPECT_TRUE(DeleteLayer(*s, 1, a));  // the first layer
    EXPECT_FALSE(DeleteLayer(*s, 1, a));
    EXPECT_TRUE(IsFreeLayer(s->layers[c]));
    EXPECT_EQ(s->processes[1].Number_Act_Layers, 4);
    const int e = InsertLayer(*s, 1, 0);
    EXPECT_EQ(WalkProcess(*s, 1).front(), e);
    for (int n = 1; n <= kMaxLayers; ++n) s->layers[n].Film_Number = 1;  // table full
    EXPECT_EQ(InsertLayer(*s, 1, 0), 0);
}

TEST(SetupChains, DamagedChainsAreWalkedBoundedAndInOneOrder) {
    auto s = Fresh();
    ProcessRec& p = s->processes[3];
    p.First_Layer = 10;
    s->layers[10].Next_Layer = 11;
    s->layers[11].Next_Layer = 10;  // a loop
    p.Number_Act_Layers = 30000;    // and a count far beyond the table
    EXPECT_EQ(WalkProcess(*s, 3), (std::vector<int>{10, 11}));
    RecountProcess(*s, 3);
    EXPECT_EQ(p.Number_Act_Layers, 2);
    s->layers[11].Next_Layer = 5000;  // outside the table
    s->layers[10].CoDep_Layer = 12;   // both links set: Next_Layer is taken everywhere
    p.Number_Act_Layers = 5;
    EXPECT_EQ(WalkProcess(*s, 3), (std::vector<int>{10, 11}));
    EXPECT_EQ(WalkProcess(*s, 3, WalkLength::Linked), (std::vector<int>{10, 11}));
    EXPECT_TRUE(WalkProcess(*s, 0).empty());
    EXPECT_EQ(InsertLayer(*s, 3, 999), 0) << "not a layer of this process";
}

}  // namespace
}  // namespace delvar::setup
