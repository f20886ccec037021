// The simulated deposition: rate control, crystal failure, layer sequencing and the
// operator's commands, stepped in simulated time.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/DepositionPhysics.h"
#include "sim/ProcessRunner.h"

namespace delvar::sim {
namespace {

using K = RecordKind;

struct SimRun : ::testing::Test {
    SetupStore store;

    void SetUp() override {
        Set(K::Layer, 1, 1, "200");   // 20 A/s
        Set(K::Layer, 1, 2, "5000");  // 5 kA
        Set(K::Film, 1, 201, "40");   // P term
        Set(K::Film, 1, 202, "20");   // I: 2 s
    }
    void Set(K kind, int index, int param, const std::string& value) {
        ASSERT_EQ(store.Set(kind, index, param, value), StoreResult::Ok)
            << int(kind) << " " << index << " " << param;
    }
    // Advances in small steps until the phase is reached; false when it never is.
    static bool RunUntil(ProcessRunner& runner, int phase, double maxSeconds) {
        for (double t = 0; t < maxSeconds && runner.CurrentPhase() != phase; t += 0.1)
            runner.Advance(0.1);
        return runner.CurrentPhase() == phase;
    }
};

TEST_F(SimRun, DepositHoldsTheRateAndFollowsTheOperatorsCommands) {
    ProcessRunner runner(store, 4);
    ASSERT_EQ(runner.Run(0), RunResult::Ok);
    ASSERT_TRUE(RunUntil(runner, kDeposit, 300));
    runner.Advance(30);
    ASSERT_EQ(runner.CurrentPhase(), kDeposit);
    const OutputReading out = runner.Outputs()[0];
    EXPECT_NEAR(out.rate, 20, 2);
    EXPECT_LT(std::fabs(out.deviation), 10);
    EXPECT_TRUE(out.power > 15 && out.power <= 90) << "above threshold, within the maximum";
    EXPECT_NEAR(runner.Sensors()[0].rate, out.rate, 2);
    ASSERT_GT(out.thickness, 0);
    EXPECT_EQ(runner.Run(32), RunResult::Ok);
    EXPECT_TRUE(runner.Outputs()[0].thickness == 0 && runner.Sensors()[0].thickness == 0);

    EXPECT_EQ(runner.SetManualPower(1, 333), RunResult::Ok);
    runner.Advance(5);
    EXPECT_EQ(runner.CurrentPhase(), kManualPower);
    EXPECT_NEAR(runner.Outputs()[0].power, 33.3, 1e-9);
    EXPECT_EQ(runner.SetManualPower(5, 100), RunResult::BadData);
    EXPECT_EQ(ProcessRunner(store, 2).SetManualPower(3, 100), RunResult::BadData);
    runner.SetAutomatic();
    EXPECT_EQ(runner.CurrentPhase(), kDeposit);

    EXPECT_EQ(runner.Run(3), RunResult::Ok);
    runner.Advance(30);
    EXPECT_EQ(runner.CurrentPhase(), kStopLayer) << "a stopped layer stays stopped";
    EXPECT_EQ(runner.Run(4), RunResult::Ok);
    EXPECT_EQ(runner.CurrentPhase(), kStopped) << "no next layer in a one-layer process";
}

TEST_F(SimRun, ACrystalLoadedBelowTheMinimumFrequencyFails) {
    Set(K::Film, 1, 204, "2");     // gold: heavy, the frequency falls fast
    Set(K::System, 1, 6, "59");    // minimum 5.9 MHz
    Set(K::Layer, 1, 2, "99999");  // a layer the crystal cannot finish
    ProcessRunner runner(store, 4);
    ASSERT_EQ(runner.Run(0), RunResult::Ok);
    ASSERT_TRUE(RunUntil(runner, kCrystalFail, 3000));
    EXPECT_LE(runner.Sensors()[0].frequency, 5.9e6 + 200);
    // A reset is where a failed crystal is changed for a fresh one.
    EXPECT_EQ(runner.Run(1), RunResult::Ok);
    EXPECT_EQ(runner.CurrentPhase(), kStopped);
    EXPECT_NEAR(runner.Sensors()[0].frequency, 6e6, 1);
}

TEST_F(SimRun, ALayerWithManualStartWaitsForStartLayer) {
    Set(K::Layer, 1, 2, "100");  // 0.1 kA
    Set(K::Layer, 1, 22, "2");
    for (const auto& [param, value] :
         {std::pair{1, "200"}, {2, "100"}, {5, "1"}, {21, "1"}, {22, "-1"}})
        Set(K::Layer, 2, param, value);
    Set(K::Process, 1, 2, "2");
    Set(K::Process, 1, 4, "2");
    ProcessRunner runner(store, 4);
    ASSERT_EQ(runner.Run(0), RunResult::Ok);
    ASSERT_TRUE(RunUntil(runner, kManualStart, 600));
    runner.Advance(60);
    EXPECT_EQ(runner.CurrentPhase(), kManualStart) << "it waits for the operator";
    EXPECT_EQ(runner.Run(2), RunResult::Ok);
    EXPECT_EQ(runner.CurrentPhase(), kInitLayer);
    EXPECT_TRUE(runner.Status().layer == 2 && runner.Status().layerRecord == 2);
    ASSERT_TRUE(RunUntil(runner, kStopped, 600)) << "the last layer ends the process";
}

TEST_F(SimRun, ARateRampMovesTheSetpointPartWayThroughTheLayer) {
    for (const auto& [param, value] : {std::pair{13, "1"}, {14, "200"}, {15, "100"}, {16, "10"}})
        Set(K::Layer, 1, param, value);  // at 0.2 kA ramp to 10 A/s over 10 s
    ProcessRunner runner(store, 4);
    ASSERT_EQ(runner.Run(0), RunResult::Ok);
    ASSERT_TRUE(RunUntil(runner, kRateRamp, 600));
    EXPECT_GE(runner.Outputs()[0].thickness, 0.2);
    ASSERT_TRUE(RunUntil(runner, kRampDeposit, 60));
    runner.Advance(30);
    EXPECT_NEAR(runner.Outputs()[0].rate, 10, 1.5);
}

TEST(SimDepositionPhysics, FrequencyFallsWithLoadAndInvertsTheThickness) {
    const double f = CrystalFrequency(6e6, {1000, 2.7, 1.08});
    EXPECT_NEAR(6e6 - f, 2200, 150) << "about 2.2 Hz per A of aluminium at 6 MHz";
    EXPECT_NEAR(ThicknessAtFrequency(6e6, f, 2.7, 1.08), 1000, 0.5);
    EXPECT_LT(CrystalFrequency(6e6, {2000, 2.7, 1.08}), f);
}

}  // namespace
}  // namespace delvar::sim
