// A whole two-layer process run on delvar-sim at high speed, watched through the
// poll commands the main window uses.
#include <gtest/gtest.h>

#include <QThread>
#include <algorithm>
#include <chrono>
#include <memory>
#include <set>

#include "commands/modCommData.h"
#include "commands/modCommFilm.h"
#include "commands/modCommOperate.h"
#include "commands/modCommProcess.h"
#include "integration/SimLink.h"
#include "setup/LayerChains.h"

namespace delvar::testing {
namespace {

using namespace delvar::commands;

struct Sample {
    int phase = 0;
    double elapsed = 0;
    int layer = 0;
    double outputThickness = 0;
    double sensorThickness = 0;
    double frequency = 0;
};

class ProcessRun : public ::testing::Test {
  protected:
    SimLink sim{Transport::Tcp, {"--speed", "100"}};
    link::Link& link = sim.Link();
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();

    void SetUp() override {
        ASSERT_TRUE(sim.Opened());
        setup::ResetSetupData(*setup);
        ASSERT_EQ(link.SendCommand("J"), "4");
        link.MutableInfo().ChannelCount = 4;
    }

    // Process 4: two layers of film 2 (aluminium) on output 1, sensor 1.
    void WriteProcess() {
        setup::FilmRec& film = setup->films[2];
        film.Material_Index = 1;
        film.Pterm = 40;
        film.Iterm = 2;
        film.Ramp1_Power = 25;
        film.Ramp1_Time = 5;
        film.Soak1_Time = 5;
        film.Ramp2_Power = 30;
        film.Ramp2_Time = 5;
        film.Soak2_Time = 5;
        film.Shutter_Delay = 20;
        film.Capture = 10;
        ASSERT_EQ(WriteFilm(link, *setup, 2), 0);
        const int first = setup::InsertLayer(*setup, 4, 0);
        const int second = setup::InsertLayer(*setup, 4, first);
        for (int layer : {first, second}) {
            setup::LayerRec& l = setup->layers[layer];
            l.Film_Number = 2;
            l.Rate = 5;
            l.Final_Thick = 0.2;
            l.Start_Mode = 0;
            l.Max_Power1 = 80;
            l.Slew_Rate1 = 0;
        }
        ASSERT_EQ(commands::WriteProcess(link, *setup, 4, 0), 0);
        for (int layer : setup::WalkProcess(*setup, 4))
            ASSERT_EQ(WriteLayer(link, *setup, layer, 0), 0);
        ASSERT_EQ(Comm_SelectProcess(link, *setup, 4), 0);
    }

    bool Poll(Sample& sample) {
        RunStatus status;
        std::array<OutputReading, 4> outputs{};
        std::array<SensorReading, 4> sensors{};
        const int phase = Comm_GetStatus(link, status);
        if (phase < 0 || Comm_GetSensorReadings(link, sensors) != 0 ||
            Comm_GetOutputReadings(link, outputs) != 0)
            return false;
        sample = {phase,
                  status.ElapsedTime,
                  status.LayerNumber,
                  outputs[0].Thickness,
                  sensors[0].Thickness,
                  sensors[0].Frequency};
        return true;
    }
};

TEST_F(ProcessRun, PhasesFollowInOrderWhileFilmBuildsUpAndTheCrystalSlows) {
    WriteProcess();
    Sample before;
    ASSERT_TRUE(Poll(before));
    EXPECT_EQ(before.phase, 0);
    ASSERT_EQ(Comm_RunCommand(link, 0), 0);

    std::vector<Sample> samples;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        Sample s;
        ASSERT_TRUE(Poll(s));
        samples.push_back(s);
        if (s.phase == 0 && samples.size() > 1) break;
        QThread::msleep(5);
    }
    ASSERT_FALSE(samples.empty());
    ASSERT_EQ(samples.back().phase, 0) << "the process ends by itself";

    // The order of first appearance of each phase.
    std::vector<int> order;
    for (const Sample& s : samples) {
        if (std::find(order.begin(), order.end(), s.phase) == order.end()) order.push_back(s.phase);
    }
    const std::vector<int> expected{2, 6, 7, 8, 9, 10, 12, 13, 25, 0};
    std::vector<int> seen;
    std::copy_if(order.begin(), order.end(), std::back_inserter(seen), [&](int p) {
        return std::find(expected.begin(), expected.end(), p) != expected.end();
    });
    EXPECT_EQ(seen, expected);
    for (int p : order) EXPECT_NE(std::string(PhaseName(p)), "") << p;

    // Both layers ran; elapsed time only moves forward.
    EXPECT_TRUE(
        std::any_of(samples.begin(), samples.end(), [](const Sample& s) { return s.layer == 2; }));
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i].phase != 0) {
            EXPECT_GE(samples[i].elapsed, samples[i - 1].elapsed);
        }
    }

    // During Deposit the thickness rises and the crystal's frequency falls.
    std::vector<Sample> deposit;
    std::copy_if(samples.begin(), samples.end(), std::back_inserter(deposit),
                 [](const Sample& s) { return s.phase == 13 && s.layer == 1; });
    ASSERT_GE(deposit.size(), 2u);
    EXPECT_GT(deposit.back().outputThickness, deposit.front().outputThickness);
    EXPECT_GT(deposit.back().sensorThickness, deposit.front().sensorThickness);
    EXPECT_LT(deposit.back().frequency, deposit.front().frequency);
    EXPECT_LT(samples.back().frequency, before.frequency);
    EXPECT_GT(before.frequency, 5.9e6);
    EXPECT_LT(before.frequency, 6.1e6);
    // The layer stops near its final thickness of 0.2 kA.
    const auto top = std::max_element(
        samples.begin(), samples.end(),
        [](const Sample& a, const Sample& b) { return a.outputThickness < b.outputThickness; });
    EXPECT_NEAR(top->outputThickness, 0.2, 0.05);
}

TEST_F(ProcessRun, OperatorCommandsActOnTheRun) {
    WriteProcess();
    ASSERT_EQ(Comm_RunCommand(link, 0), 0);
    EXPECT_EQ(Comm_SendSelectProcess(link, 2), 6) << "no new selection while running: Bad Mode";
    EXPECT_EQ(Comm_SetPower(link, 1, 45), 0);
    QThread::msleep(50);
    RunStatus status;
    EXPECT_EQ(Comm_GetStatus(link, status), 26) << "Manual Power";
    std::array<OutputReading, 4> outputs{};
    ASSERT_EQ(Comm_GetOutputReadings(link, outputs), 0);
    EXPECT_NEAR(outputs[0].Power, 45, 0.5);
    EXPECT_EQ(Comm_SetPower(link, 0, 0), 0);
    EXPECT_EQ(Comm_RunCommand(link, 3), 0);
    EXPECT_EQ(Comm_GetStatus(link, status), 25) << "Stop Layer";
    EXPECT_EQ(Comm_RunCommand(link, 1), 0);
    EXPECT_EQ(Comm_GetStatus(link, status), 0);
    EXPECT_EQ(Comm_RunCommand(link, 3), 6) << "no layer to stop: Bad Mode";
}

}  // namespace
}  // namespace delvar::testing
