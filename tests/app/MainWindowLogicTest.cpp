// The main window's poll cycle and run control over a scripted instrument.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/MainWindowLogic.h"
#include "app/MainWindowRig.h"
#include "commands/modCommOperate.h"
#include "monitor/DataLog.h"
#include "monitor/Graphs.h"
#include "support/FakeCharts.h"

namespace delvar::testing {
namespace {

using app::Ctl;
using app::OutputControl;
using ::testing::ElementsAre;

struct MainWindow : ::testing::Test {
    LinkRig rig;
    FakeInstrument instrument;
    FakeMainView view;
    ScriptedDialogs dialogs;
    setup::NoProgress progress;
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    commands::RunReadings readings;
    FakeCharts charts;
    monitor::Graphs graphs{charts.Pointers()};
    monitor::ManualClock clock;
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("delvar-main-" + std::to_string(::getpid()));
    monitor::DataLogSettings logSettings;
    monitor::DataLog log{logSettings, folder.string(), clock, dialogs};
    app::MainWindowLogic logic{view,
                               {rig.link, *setup, readings, graphs, log, clock, dialogs, progress}};

    void SetUp() override {
        std::filesystem::create_directories(folder);
        setup::ResetSetupData(*setup);
        AnswerOn(rig.tcp, [this](const std::string& c) { return instrument.Respond(c); });
        rig.link.Settings().Type = link::kPortTcp;
        view.logic = &logic;
        logic.Load(true);
        logic.Tick();  // connects, reads the process names, polls
        ASSERT_TRUE(rig.link.Info().Online);
        instrument.Sent();
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // One tick at the given phase, the clock half a second on.
    void TickAt(int phase) {
        instrument.phase = phase;
        clock.seconds += 0.5;
        logic.Tick();
    }
    std::string LogText() const {
        std::ifstream in(folder / "Delvar.txt", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(MainWindow, ConnectTitlesAndFillsTheProcessList) {
    EXPECT_EQ(view.title, "Delvar Comm - [Delvar 6.30]");
    ASSERT_EQ(view.processes.size(), 99u);
    EXPECT_EQ(view.processes[0], "1. " + setup::FixedName("Process name 1"));
    EXPECT_EQ(view.processIndex, 0) << "the instrument's process";
    EXPECT_TRUE(view.Shown(Ctl::fraOnLine));
    EXPECT_EQ(view.Get(Ctl::txtPhase).text, "Stopped");
}

TEST_F(MainWindow, AFailedNameReadShowsTheProcessNumber) {
    instrument.failingName = 7;
    logic.LoadProcesses();
    EXPECT_EQ(view.processes[6], "7. Process 7");
    EXPECT_EQ(view.processes[7], "8. " + setup::FixedName("Process name 8"));
}

TEST_F(MainWindow, RequestsAreSentOnceOnTheNextTickAndTheLastOneWins) {
    logic.OnStartLayer();  // stopped: starts the process
    TickAt(0);
    EXPECT_THAT(instrument.Sent(), ElementsAre("U 0"));
    TickAt(25);
    logic.OnStartLayer();  // a stopped layer: starts the layer
    TickAt(25);
    EXPECT_THAT(instrument.Sent(), ElementsAre("U 2"));

    logic.OnStart();
    logic.OnZero();  // the second click overwrites the first
    TickAt(13);
    TickAt(13);
    EXPECT_THAT(instrument.Sent(), ElementsAre("U 32"));
    EXPECT_EQ(logic.PendingAction(), app::kNoAction);
}

TEST_F(MainWindow, AProcessChangeWhileRunningSendsNothing) {
    TickAt(13);
    view.SetProcessIndex(4);
    ASSERT_EQ(logic.PendingAction(), app::kSelectProcess);
    TickAt(13);
    EXPECT_TRUE(instrument.Sent().empty()) << "only the status is asked";
    EXPECT_EQ(view.processIndex, 0) << "the list shows the instrument's process again";

    TickAt(0);
    instrument.Sent();
    instrument.process = 5;  // the instrument takes the selection
    view.SetProcessIndex(4);
    TickAt(0);
    const auto sent = instrument.Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), "T 5");
}

TEST_F(MainWindow, SlidersSendOnlyAChangedPower) {
    TickAt(26);  // manual power: sliders shown, power 40 on output 1
    ASSERT_TRUE(view.Shown(OutputControl(Ctl::sldManPwr, 0)));
    EXPECT_EQ(view.sliders[0], 40) << "follows the output's power";
    logic.OnSlider(0);
    TickAt(26);
    EXPECT_TRUE(instrument.Sent().empty()) << "the slider stands at the shown power";

    view.sliders[0] = 55;
    view.focusedSlider = 0;
    logic.OnSlider(0);
    TickAt(26);
    EXPECT_THAT(instrument.Sent(), ElementsAre(commands::SetPowerCommand(1, 55)));
    EXPECT_EQ(view.sliders[0], 55) << "a held slider is not moved back";
}

// Manual power starts at the power automatic control had, not at the hidden
// sliders' stale positions.
TEST_F(MainWindow, AutoToManualOnOneChannelHoldsItsPowerWithOneCommand) {
    rig.link.MutableInfo().ChannelCount = 1;
    TickAt(13);
    view.sliders = {30, 60, 70, 80};
    logic.OnAutoMan();
    TickAt(13);
    EXPECT_THAT(instrument.Sent(), ElementsAre(commands::SetPowerCommand(1, 40)));
    EXPECT_TRUE(view.Shown(Ctl::cmdAutoMan)) << "phase 13 shows Auto -> Manual only";
    logic.OnManAuto();
    TickAt(26);
    EXPECT_THAT(instrument.Sent(), ElementsAre("S0"));
}

TEST_F(MainWindow, ButtonTableByPhase) {
    TickAt(0);
    EXPECT_TRUE(view.Shown(Ctl::cmdStart) && !view.Shown(Ctl::cmdAbort));
    EXPECT_TRUE(view.Get(Ctl::cboProcess).enabled);
    EXPECT_TRUE(view.Shown(Ctl::cmdAutoMan) && !view.Shown(Ctl::cmdManAuto));
    TickAt(3);
    EXPECT_TRUE(view.Shown(Ctl::cmdAbort) && view.Shown(Ctl::cmdStartManLayer));
    EXPECT_FALSE(view.Get(Ctl::cboProcess).enabled);
    TickAt(13);
    const auto shown13 = view.controls;
    for (int phase : {23, 27, 37}) {
        TickAt(phase);
        for (Ctl c : {Ctl::cmdStart, Ctl::cmdAbort, Ctl::cmdStartLayer, Ctl::cmdStopLayer,
                      Ctl::cmdNextLayer, Ctl::cmdStartManLayer})
            EXPECT_EQ(view.Shown(c), shown13.at(c).visible) << "phase " << phase << " keeps them";
    }
    TickAt(24);
    EXPECT_FALSE(view.Shown(Ctl::cmdAutoMan) || view.Shown(Ctl::cmdManAuto));
    TickAt(26);
    EXPECT_TRUE(view.Shown(Ctl::cmdManAuto) && !view.Shown(Ctl::cmdAutoMan));
    EXPECT_TRUE(view.Shown(OutputControl(Ctl::sldManPwr, 3)));
    EXPECT_EQ(view.Get(Ctl::txtPhase).text, "Manual Power");
}

TEST_F(MainWindow, ReadingsShowInTheirFormatsAndUnusedOutputsInWhiteZeros) {
    instrument.outputs = "0 1.555 2.04 0.1234 40 0 0 0 -1 0 0 0 -1 0 0 0 -1";
    instrument.elapsed = 3725;
    instrument.layer = 2;
    TickAt(0);  // the selection made at connect re-reads process 1
    setup->processes[1].Number_Layers = 3;
    TickAt(0);
    EXPECT_EQ(view.Get(Ctl::txtTime).text, "1:02:05");
    EXPECT_EQ(view.Get(OutputControl(Ctl::txtOutRate, 0)).text, "1.56");
    EXPECT_EQ(view.Get(OutputControl(Ctl::txtOutDev, 0)).text, "2.0");
    EXPECT_EQ(view.Get(OutputControl(Ctl::txtOutThick, 0)).text, "0.123");
    EXPECT_EQ(view.Get(OutputControl(Ctl::txtOutPower, 0)).text, "40.0");
    EXPECT_EQ(view.Get(OutputControl(Ctl::txtOutRate, 0)).colour, (monitor::Rgb{0, 255, 0}));
    EXPECT_EQ(view.Get(OutputControl(Ctl::txtOutThick, 1)).text, "0.000");
    EXPECT_EQ(view.Get(OutputControl(Ctl::LblOutput, 1)).colour, monitor::kWhite);
    EXPECT_EQ(view.Get(Ctl::txtLayerNum).text, "2");
    EXPECT_EQ(view.Get(Ctl::txtLayerTotal).text, "3");

    instrument.process = 2;  // no layers
    TickAt(0);
    EXPECT_EQ(view.Get(Ctl::txtLayerNum).text, "0");
    for (int outside : {0, 120, -3}) {
        instrument.process = outside;
        TickAt(0);
        EXPECT_EQ(view.Get(Ctl::txtLayerNum).text, "0") << outside;
        EXPECT_EQ(view.Get(Ctl::txtLayerTotal).text, "0") << outside;
        EXPECT_EQ(view.processIndex, 1) << "the list stays where it was";
    }
}

TEST_F(MainWindow, TicksDoNothingAfterAnErrorAndReconnectAfterATimeout) {
    instrument.statusOfAll = 'D';
    TickAt(0);  // Bad Data for "V"
    instrument.commands.clear();
    TickAt(0);
    EXPECT_TRUE(instrument.commands.empty());

    rig.link.SetCommStatus(link::kTimeout);
    instrument.statusOfAll = 'A';
    TickAt(0);
    ASSERT_GE(instrument.commands.size(), 2u);
    EXPECT_EQ(instrument.commands[0], "@") << "the connect comes first";
}

TEST_F(MainWindow, APhaseRunRestartsGraphsAndWritesOneLogRun) {
    logSettings.LogMode = 2;
    logSettings.Interval = 0;
    TickAt(0);
    const int restarts = charts.Restarts();
    TickAt(6);  // a layer enters its deposition phases
    EXPECT_GT(charts.Restarts(), restarts);
    EXPECT_EQ(view.period, 100) << "interval 0 polls at the instrument's period (B? 1 = 10)";
    const int afterSix = charts.Restarts();
    TickAt(13);
    EXPECT_GT(charts.Restarts(), afterSix) << "Deposit restarts the graphs again";
    TickAt(13);
    TickAt(0);
    EXPECT_EQ(view.period, 500);
    const std::string text = LogText();
    EXPECT_EQ(text.find("Start:"), 0u);
    EXPECT_NE(text.find(" Deposit, "), std::string::npos);
    EXPECT_NE(text.find("\r\nEnd:     Date: "), std::string::npos);
    TickAt(0);
    TickAt(0);
    EXPECT_EQ(LogText(), text) << "no further end line while stopped";
}

TEST_F(MainWindow, LogLinesThatCannotBeWrittenShowInTheStatusBar) {
    logSettings.LogMode = 2;
    logSettings.Interval = 0;
    logSettings.File = (folder / "gone" / "Delvar.txt").string();  // no such folder
    TickAt(0);
    TickAt(6);
    TickAt(7);
    EXPECT_NE(view.status.find("could not be written"), std::string::npos) << view.status;
    EXPECT_NE(view.status.find("4 lines"), std::string::npos) << "start, heading, two rows";
    EXPECT_TRUE(logic.LogRunActive()) << "logging goes on";
}

}  // namespace
}  // namespace delvar::testing
