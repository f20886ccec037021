// The main window's poll cycle and run control over a scripted instrument.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
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

// A damaged reply to a poll query is asked again at once; one the instrument refused
// costs one sample, and the next tick polls as usual.
TEST_F(MainWindow, ADamagedOrRefusedReplyCostsOneSampleNotTheRun) {
    TickAt(0);  // the selection made at connect
    instrument.commands.clear();
    instrument.next["V"] = "F";   // taken as damaged (11)
    instrument.next["K1"] = "F";  // and once more for the outputs
    TickAt(0);
    EXPECT_THAT(instrument.commands, ElementsAre("V", "V", "K2", "K1", "K1"));
    EXPECT_EQ(logic.ReadingTicks(), logic.PollTicks());

    instrument.commands.clear();
    instrument.next["U 0"] = "F";  // an operating command is never repeated
    logic.OnStart();
    TickAt(0);
    EXPECT_EQ(std::count(instrument.commands.begin(), instrument.commands.end(), "U 0"), 1);

    instrument.commands.clear();
    instrument.next["V"] = "D";  // refused: Bad Data
    TickAt(0);
    EXPECT_THAT(instrument.commands, ElementsAre("V"));
    EXPECT_EQ(view.status, "Bad Data (1 tick without readings)");
    instrument.commands.clear();
    TickAt(0);
    EXPECT_THAT(instrument.commands, ElementsAre("V", "K2", "K1")) << "the next tick polls";
    EXPECT_EQ(view.status, "") << "readings again";
}

TEST_F(MainWindow, ThreeFailedTicksInARowReconnectAndATimeoutDoesAtOnce) {
    TickAt(0);
    instrument.next["V"] = "DDD";
    for (int tick = 1; tick <= 3; ++tick) TickAt(0);
    EXPECT_EQ(view.status, "Bad Data (3 ticks without readings)");
    instrument.commands.clear();
    TickAt(0);
    ASSERT_FALSE(instrument.commands.empty());
    EXPECT_EQ(instrument.commands.front(), "@") << "handled as a time-out";
    EXPECT_TRUE(rig.link.Info().Online);
    EXPECT_EQ(instrument.commands.back(), "K1") << "and polled";

    instrument.commands.clear();
    rig.link.SetCommStatus(link::kTimeout);
    TickAt(0);
    ASSERT_FALSE(instrument.commands.empty());
    EXPECT_EQ(instrument.commands.front(), "@");
}

// The instrument goes away mid-run (power cycle): the window goes off line with its
// run controls disabled, looks for it every 5 s, and the run's log goes on when it
// is back still depositing.
TEST_F(MainWindow, ALostInstrumentIsLookedForEveryFiveSecondsAndItsRunGoesOn) {
    logSettings.LogMode = 2;
    logSettings.Interval = 0;
    TickAt(0);
    TickAt(13);
    instrument.gone = true;  // the port opens, nothing answers (a serial line)
    TickAt(13);              // times out
    TickAt(13);              // the instrument does not answer "@"
    EXPECT_FALSE(rig.link.Info().Online);
    EXPECT_TRUE(dialogs.messages.empty()) << "no message while it is away";
    EXPECT_EQ(view.title, "Delvar Comm - [Off Line]");
    EXPECT_NE(view.status.find("Trying again"), std::string::npos) << view.status;
    for (Ctl c : {Ctl::cmdAbort, Ctl::cboProcess, OutputControl(Ctl::sldManPwr, 2)})
        EXPECT_FALSE(view.Get(c).enabled);
    EXPECT_EQ(view.Get(Ctl::txtOutRate).colour, monitor::kStaleGrey) << "last values, greyed";
    EXPECT_TRUE(view.timer);

    for (int round = 0; round < 2; ++round) {
        instrument.commands.clear();
        for (int tick = 1; tick < 10; ++tick) TickAt(13);
        EXPECT_TRUE(instrument.commands.empty()) << "nothing tried before 5 s";
        if (round == 1) instrument.gone = false;
        TickAt(13);
        ASSERT_FALSE(instrument.commands.empty());
        EXPECT_EQ(instrument.commands.front(), "@");
    }
    EXPECT_TRUE(rig.link.Info().Online);
    EXPECT_EQ(view.title, "Delvar Comm - [Delvar 6.30]");
    EXPECT_TRUE(view.Get(Ctl::cmdAbort).enabled);
    EXPECT_FALSE(view.Get(Ctl::cboProcess).enabled) << "phase 13 keeps the list disabled";
    TickAt(13);
    EXPECT_NE(view.Get(Ctl::txtOutRate).colour, monitor::kStaleGrey) << "present values again";
    const std::string rows = LogText();
    TickAt(13);
    EXPECT_GT(LogText().size(), rows.size()) << "rows go on";
    TickAt(0);
    const std::string text = LogText();
    EXPECT_EQ(text.find("Start:"), text.rfind("Start:")) << "one log run";
    EXPECT_NE(text.find("End:"), std::string::npos);
}

TEST_F(MainWindow, ARunThatEndedWhileOffLineGetsItsEndLine) {
    logSettings.LogMode = 2;
    TickAt(0);
    TickAt(13);
    instrument.gone = true;
    rig.tcp.stateAfterConnect = 0;
    TickAt(13);
    TickAt(13);
    ASSERT_FALSE(rig.link.Info().Online);
    instrument.gone = false;
    rig.tcp.stateAfterConnect = link::TcpSocket::kConnected;
    instrument.phase = 0;  // the run ended meanwhile
    for (int tick = 0; tick < 10; ++tick) TickAt(0);
    ASSERT_TRUE(rig.link.Info().Online);
    EXPECT_NE(LogText().find("End:"), std::string::npos);
    EXPECT_FALSE(logic.LogRunActive());
}

// Without a connect at start, or while the communications window is open (the poll
// stopped), nothing is tried; closing that window resumes the search.
TEST_F(MainWindow, TheSearchFollowsTheOperatorsChoices) {
    instrument.gone = true;
    rig.tcp.stateAfterConnect = 0;
    TickAt(0);
    TickAt(0);
    ASSERT_FALSE(rig.link.Info().Online);
    logic.FollowOnline(false);  // the communications window closed off line
    EXPECT_TRUE(view.timer) << "the search goes on";

    logic.Load(false);  // the operator chose not to connect at start
    const std::size_t connects = rig.tcp.sent.size();
    instrument.commands.clear();
    for (int tick = 0; tick < 25; ++tick) TickAt(0);
    EXPECT_TRUE(instrument.commands.empty());
    EXPECT_EQ(rig.tcp.sent.size(), connects);
    logic.FollowOnline(false);
    EXPECT_FALSE(view.timer);
}

TEST_F(MainWindow, ATickThatThrowsLeavesTheNextOneFree) {
    TickAt(0);
    view.throwOnPhaseText = true;
    instrument.phase = 13;
    EXPECT_THROW(logic.Tick(), std::runtime_error);
    view.throwOnPhaseText = false;
    instrument.commands.clear();
    TickAt(13);
    EXPECT_FALSE(instrument.commands.empty()) << "the tick ran";
}

// Logging switched on, or the program started, during a deposition: the rest of
// it is logged as a run with its start and heading lines.
TEST_F(MainWindow, LoggingSwitchedOnMidRunStartsALogRun) {
    TickAt(13);
    logSettings.LogMode = 2;
    logSettings.Interval = 0;
    TickAt(13);
    std::string text = LogText();
    EXPECT_EQ(text.find("Start:"), 0u);
    EXPECT_NE(text.find("Time,Phase,"), std::string::npos);
    EXPECT_NE(text.find(" Deposit, "), std::string::npos);

    std::filesystem::remove(folder / "Delvar.txt");
    FakeMainView second;
    app::MainWindowLogic started{
        second, {rig.link, *setup, readings, graphs, log, clock, dialogs, progress}};
    rig.link.MutableInfo().Online = false;
    rig.link.MutableInfo().VersionText.clear();
    started.Load(true);
    started.Tick();  // connects in the middle of the deposition
    ASSERT_EQ(started.Phase(), 13);
    text = LogText();
    EXPECT_EQ(text.find("Start:"), 0u);
    EXPECT_NE(text.find(" Deposit, "), std::string::npos);
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
