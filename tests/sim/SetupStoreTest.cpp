#include <gtest/gtest.h>

#include "sim/CommandText.h"
#include "sim/DepositionPhysics.h"
#include "sim/ProcessRunner.h"
#include "sim/SetupStore.h"

namespace delvar::sim {
namespace {

TEST(SimSetupStore, WritesAreCheckedAgainstTheParameterTablesAndReadBack) {
    SetupStore store;
    EXPECT_EQ(store.Set(RecordKind::Layer, 7, 1, "105"), StoreResult::Ok);
    EXPECT_EQ(store.Get(RecordKind::Layer, 7, 1), "105");
    EXPECT_EQ(store.Set(RecordKind::Layer, 7, 6, "5"), StoreResult::BadValue);  // output 1..4
    EXPECT_EQ(store.Set(RecordKind::Layer, 7, 6, "x"), StoreResult::BadValue);
    EXPECT_EQ(store.Set(RecordKind::Layer, 1000, 1, "1"), StoreResult::NoRecord);
    EXPECT_EQ(store.Set(RecordKind::Layer, 7, 40, "1"), StoreResult::NoParam);
    EXPECT_EQ(store.Set(RecordKind::Material, 12, 2, "39"), StoreResult::BadValue);
    EXPECT_EQ(store.Number(RecordKind::Layer, 7, 6), 1);  // refused values change nothing
    EXPECT_EQ(store.Set(RecordKind::Process, 5, 1, "Coat 1          "), StoreResult::Ok);
    EXPECT_EQ(store.Text(RecordKind::Process, 5, 1), "Coat 1");
    EXPECT_EQ(store.Set(RecordKind::Process, 5, 1, "Seventeen chars!!"), StoreResult::BadValue);
    EXPECT_EQ(store.Set(RecordKind::Film, 3, 101, "a,b"), StoreResult::BadValue);
    EXPECT_EQ(store.Get(RecordKind::Film, 3, 209), std::nullopt);  // A2 9 does not exist
    EXPECT_EQ(ParseWireNumber(" 250.5 "), 251);
    EXPECT_EQ(ParseWireNumber("1e5"), std::nullopt);
}

TEST(SimCommandText, ItemsKeepFullWidthNamesWithTheirBlanks) {
    const auto items = ParseItems("1,My Film  A       5,0 2,1 3,4", RecordKind::Input);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 4u);
    EXPECT_EQ((*items)[0], (Item{1, "My Film  A      "}));
    EXPECT_EQ((*items)[1], (Item{5, "0"}));
    EXPECT_EQ(ParseItems(" 1,105 2,1500", RecordKind::Layer),
              (std::vector<Item>{{1, "105"}, {2, "1500"}}));
    EXPECT_FALSE(ParseItems("1105", RecordKind::Layer));
    EXPECT_EQ(ParseParamList(" 1 2 35"), (std::vector<int>{1, 2, 35}));
    EXPECT_FALSE(ParseParamList(" 1 x"));
    const auto request = ParseRecordRequest("7? 1 2");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->index, 7);
    EXPECT_TRUE(request->query);
    EXPECT_FALSE(ParseRecordRequest("x? 1"));
}

TEST(SimDepositionPhysics, FrequencyFallsWithLoadAndInvertsTheThickness) {
    EXPECT_DOUBLE_EQ(CrystalFrequency(6e6, {0, 2.7, 1.08}), 6e6);
    const double f = CrystalFrequency(6e6, {1000, 2.7, 1.08});
    // About 2.2 Hz per A of aluminium on a 6 MHz crystal.
    EXPECT_NEAR(6e6 - f, 2200, 150);
    EXPECT_NEAR(ThicknessAtFrequency(6e6, f, 2.7, 1.08), 1000, 0.5);
    EXPECT_LT(CrystalFrequency(6e6, {2000, 2.7, 1.08}), f);
}

TEST(SimProcessRunner, ASingleLayerRunsThroughItsPhasesAndDeposits) {
    SetupStore store;
    store.Set(RecordKind::Layer, 1, 2, "200");  // 0.2 kA
    ProcessRunner runner(store, 4);
    ASSERT_EQ(runner.Run(0), RunResult::Ok);
    EXPECT_EQ(runner.Run(0), RunResult::BadMode);
    std::vector<int> phases{runner.CurrentPhase()};
    double lastFrequency = runner.Sensors()[0].frequency;
    bool thicknessRose = false;
    for (int i = 0; i < 20000 && runner.Running(); ++i) {
        runner.Advance(0.1);
        if (runner.CurrentPhase() != phases.back()) phases.push_back(runner.CurrentPhase());
        const double f = runner.Sensors()[0].frequency;
        EXPECT_LE(f, lastFrequency + 1e-6);
        lastFrequency = f;
        if (runner.Outputs()[0].thickness > 0.1) thicknessRose = true;
    }
    EXPECT_EQ(phases, (std::vector<int>{kInitLayer, kPreCondition, kRise1, kSoak1, kRise2, kSoak2,
                                        kShutterDelay, kDeposit, kStopLayer, kStopped}));
    EXPECT_TRUE(thicknessRose);
    EXPECT_LT(lastFrequency, 6e6 - 100);
    EXPECT_EQ(runner.Outputs()[3].power >= 0, true);
    EXPECT_EQ(ProcessRunner(store, 2).Outputs()[3].power, -1);
}

}  // namespace
}  // namespace delvar::sim
