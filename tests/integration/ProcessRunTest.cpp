// A two-layer process run watched through the main window's poll commands. The simulator
// runs behind the link's socket in this process; the test steps its clock between polls.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "commands/modCommData.h"
#include "commands/modCommFilm.h"
#include "commands/modCommOperate.h"
#include "commands/modCommProcess.h"
#include "setup/LayerChains.h"
#include "sim/CommandHandler.h"
#include "support/LinkRig.h"

namespace delvar::testing {
namespace {

using namespace delvar::commands;

struct Sample {
    int phase = 0, layer = 0;
    double elapsed = 0, thickness = 0, power = 0, sensorThickness = 0, frequency = 0;
};

struct ProcessRun : ::testing::Test {
    LinkRig rig;
    link::Link& link = rig.link;
    sim::Responder responder{sim::InstrumentModel{}};
    sim::FaultInjector faults{{}};
    sim::CommandHandler handler{responder, faults};
    sim::FrameDecoder decoder;
    sim::SimClock clock;
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();

    // Each frame goes through the simulator at the test clock's time; the reply comes back
    // at once. Process 4 is two layers of film 2 (aluminium) on output 1, sensor 1.
    void SetUp() override {
        rig.tcp.onSend = [this](const Bytes& frame) {
            for (const sim::DecodedCommand& command : decoder.Feed(frame)) {
                for (const sim::Chunk& chunk : handler.Handle(command, clock.Now()).plan.chunks)
                    rig.tcp.Deliver(chunk.bytes);
            }
        };
        setup::ResetSetupData(*setup);
        link.MutableInfo().ChannelCount = 4;
        setup::FilmRec& film = setup->films[2];
        film.Material_Index = 1;
        film.Pterm = 40;
        film.Iterm = 2;
        film.Ramp1_Power = film.Ramp2_Power = 30;
        film.Ramp1_Time = film.Soak1_Time = film.Ramp2_Time = film.Soak2_Time = 5;
        film.Shutter_Delay = 20;
        film.Capture = 10;
        ASSERT_EQ(WriteFilm(link, *setup, 2), 0);
        const int first = setup::InsertLayer(*setup, 4, 0);
        for (int layer : {first, setup::InsertLayer(*setup, 4, first)}) {
            setup::LayerRec& l = setup->layers[layer];
            l.Film_Number = 2;
            l.Rate = 5;
            l.Final_Thick = 0.2;
            l.Start_Mode = l.Slew_Rate1 = 0;
            l.Max_Power1 = 80;
            ASSERT_EQ(WriteLayer(link, *setup, layer, 0), 0);
        }
        ASSERT_EQ(commands::WriteProcess(link, *setup, 4, 0), 0);
        ASSERT_EQ(Comm_SelectProcess(link, *setup, 4), 0);
    }

    Sample Poll() {
        RunStatus status;
        std::array<OutputReading, 4> out{};
        std::array<SensorReading, 4> in{};
        const int phase = Comm_GetStatus(link, status);
        EXPECT_TRUE(phase >= 0 && Comm_GetSensorReadings(link, in) == 0 &&
                    Comm_GetOutputReadings(link, out) == 0);
        return {phase,        status.LayerNumber, status.ElapsedTime, out[0].Thickness,
                out[0].Power, in[0].Thickness,    in[0].Frequency};
    }
};

TEST_F(ProcessRun, PhasesFollowInOrderWhileFilmBuildsUpAndOperatorCommandsAct) {
    ASSERT_EQ(Comm_RunCommand(link, 0), 0);
    // A poll every 100 ms of simulated time, far finer than the shortest phase (0.5 s).
    std::vector<Sample> samples;
    for (int poll = 0; poll < 20000 && (samples.empty() || samples.back().phase != 0); ++poll) {
        clock.Advance(std::chrono::milliseconds(100));
        samples.push_back(Poll());
    }
    ASSERT_EQ(samples.back().phase, 0) << "the process ends by itself";

    // Each layer runs through every phase of its film, in order; time only moves on.
    std::vector<std::pair<int, int>> order, expected;  // (layer, phase) as phases begin
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const Sample& s = samples[i];
        if (order.empty() || order.back() != std::pair{s.layer, s.phase})
            order.emplace_back(s.layer, s.phase);
        EXPECT_TRUE(i == 0 || s.phase == 0 || s.elapsed >= samples[i - 1].elapsed) << i;
    }
    for (int layer : {1, 2}) {
        for (int phase : {2, 6, 7, 8, 9, 10, 12, 13, 25}) expected.emplace_back(layer, phase);
    }
    expected.emplace_back(2, 0);
    EXPECT_EQ(order, expected);

    // During Deposit the thickness rises and the crystal's frequency falls; each layer
    // stops near its final thickness of 0.2 kA.
    for (int layer : {1, 2}) {
        auto deposit = [&](const Sample& s) { return s.phase == 13 && s.layer == layer; };
        const auto first = std::find_if(samples.begin(), samples.end(), deposit);
        const auto last = std::find_if(samples.rbegin(), samples.rend(), deposit);
        ASSERT_TRUE(first != samples.end() && &*first != &*last) << "layer " << layer;
        EXPECT_GT(last->thickness, first->thickness);
        EXPECT_GT(last->sensorThickness, first->sensorThickness);
        EXPECT_LT(last->frequency, first->frequency);
        EXPECT_NEAR(last->thickness, 0.2, 0.02) << "layer " << layer;
    }

    // The operator's commands act on a new run.
    ASSERT_EQ(Comm_RunCommand(link, 0), 0);
    EXPECT_EQ(Comm_SendSelectProcess(link, 2), 6) << "no new selection while running: Bad Mode";
    EXPECT_EQ(Comm_SetPower(link, 1, 45), 0);
    clock.Advance(std::chrono::milliseconds(500));
    const Sample manual = Poll();
    EXPECT_EQ(manual.phase, 26) << "Manual Power";
    EXPECT_NEAR(manual.power, 45, 0.5);
    EXPECT_EQ(Comm_SetPower(link, 0, 0), 0);
    EXPECT_EQ(Comm_RunCommand(link, 3), 0);
    EXPECT_EQ(Poll().phase, 25) << "Stop Layer";
    EXPECT_EQ(Comm_RunCommand(link, 1), 0);
    EXPECT_EQ(Poll().phase, 0);
}

}  // namespace
}  // namespace delvar::testing
