// The main window's widgets drive its logic: names, clicks, sliders, the process list,
// the View menu, and the poll timer's period under a time scale.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <filesystem>

#include "app/MainWindowRig.h"
#include "commands/modCommOperate.h"
#include "monitor/DataLog.h"
#include "monitor/Graphs.h"
#include "support/MainWindowParts.h"
#include "windows/app/frmComm.h"
#include "windows/app/frmMain.h"

namespace delvar::testing {
namespace {

using ::testing::ElementsAre;

struct MainWindowWidgets : ::testing::Test, MainWindowParts {
    LinkRig rig;
    FakeInstrument instrument;
    void TearDown() override { w.reset(); }  // before the link it uses

    void SetUp() override {
        AnswerOn(rig.tcp, [this](const std::string& c) { return instrument.Respond(c); });
        rig.link.Settings().Type = link::kPortTcp;
        Make(rig.link).show();
        w->Logic().Tick();
        ASSERT_TRUE(rig.link.Info().Online);
        instrument.Sent();
    }
    template <typename T>
    T* Find(const char* name) {
        T* t = w->findChild<T*>(name);
        EXPECT_TRUE(t) << name;
        return t;
    }
};

TEST_F(MainWindowWidgets, ClicksBecomeOneRequestForTheNextTick) {
    EXPECT_TRUE(w->UpdateTimer().isActive());
    EXPECT_EQ(w->UpdateTimer().objectName(), "tmrUpdate");
    EXPECT_EQ(Find<QLabel>("txtPhase")->text(), "Stopped");
    QTest::mouseClick(Find<QPushButton>("cmdStart"), Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>("cmdStartLayer"), Qt::LeftButton);  // phase 0: code 0
    w->Logic().Tick();
    EXPECT_THAT(instrument.Sent(), ElementsAre("U 0"));
    instrument.phase = 13;
    w->Logic().Tick();
    EXPECT_TRUE(Find<QPushButton>("cmdAbort")->isVisible());
    EXPECT_FALSE(Find<QPushButton>("cmdStart")->isVisible());
    EXPECT_FALSE(Find<QComboBox>("cboProcess")->isEnabled());
}

TEST_F(MainWindowWidgets, OnlyTheOperatorMovesASliderIntoARequest) {
    instrument.phase = 26;
    w->Logic().Tick();
    auto* slider = Find<QSlider>("sldManPwr_0");
    ASSERT_TRUE(slider->isVisible());
    EXPECT_EQ(slider->value(), 40) << "set from the power reading";
    EXPECT_EQ(w->Logic().PendingAction(), app::kNoAction);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(w->Logic().PendingAction(), app::kSliderPower);
    w->Logic().Tick();
    EXPECT_THAT(instrument.Sent(), ElementsAre(commands::SetPowerCommand(1, 41)));
}

TEST_F(MainWindowWidgets, TheViewMenuShowsOneGraphAndTheTimerFollowsTheTimeScale) {
    auto* rate = Find<QAction>("mnuViewGraph_0");
    auto* sensors = Find<QAction>("mnuViewGraph_3");
    w->Logic().SetDisplay(0);
    EXPECT_TRUE(rate->isChecked());
    sensors->trigger();
    EXPECT_TRUE(sensors->isChecked() && !rate->isChecked());
    EXPECT_EQ(w->Graphs().Display(), 3);
    sensors->trigger();  // the graph already shown
    EXPECT_TRUE(sensors->isChecked()) << "keeps its check mark";
    EXPECT_EQ(w->Graphs().Display(), 3);

    w->SetTimeScale(10);
    EXPECT_EQ(w->UpdateTimer().interval(), 50);
    EXPECT_EQ(w->TimerPeriod(), 500) << "the logic sees the instrument's period";
}

// The instrument lost, the window looks for it every 5 s, but not while the setup or
// the communications window is open.
TEST_F(MainWindowWidgets, TheSearchForALostInstrumentWaitsForTheSetupAndCommWindows) {
    instrument.gone = true;
    w->Logic().Tick();  // times out
    w->Logic().Tick();  // no answer to "@"
    ASSERT_FALSE(rig.link.Info().Online);
    EXPECT_TRUE(w->UpdateTimer().isActive());
    EXPECT_FALSE(Find<QPushButton>("cmdStart")->isEnabled());

    int opened = 0;
    w->openSetupWindow = [&](int) { ++opened; };
    Find<QAction>("mnuEditDatabase")->trigger();
    ASSERT_EQ(opened, 1);
    EXPECT_FALSE(w->UpdateTimer().isActive());
    w->SetupWindowClosed();
    EXPECT_TRUE(w->UpdateTimer().isActive()) << "the search goes on";

    Find<QAction>("mnuEditComm")->trigger();
    EXPECT_FALSE(w->UpdateTimer().isActive());
    w->CommWindow().reject();
    EXPECT_TRUE(w->UpdateTimer().isActive());
    EXPECT_FALSE(Find<QPushButton>("cmdStart")->isEnabled()) << "still off line";
}

// Each place of the run buttons shows one of its two buttons: at start, off line, and
// in the phases that leave the buttons as they were.
TEST_F(MainWindowWidgets, EachRunButtonPlaceShowsOneButton) {
    const std::pair<const char*, const char*> places[] = {{"cmdStart", "cmdAbort"},
                                                          {"cmdStartLayer", "cmdStopLayer"},
                                                          {"cmdNextLayer", "cmdStartManLayer"},
                                                          {"cmdAutoMan", "cmdManAuto"}};
    windows::frmMain fresh(windows::MainWindowDeps{rig.link, *setup, readings, log, settings, clock,
                                                   dialogs, progress, serialDevices, ""});
    auto crowded = [&](const char* when) {
        for (auto [first, second] : places) {
            auto* a = fresh.findChild<QPushButton*>(first);
            auto* b = fresh.findChild<QPushButton*>(second);
            ASSERT_TRUE(a && b);
            EXPECT_FALSE(a->isVisible() && b->isVisible()) << first << " " << when;
        }
    };
    fresh.Logic().Load(false);
    fresh.show();
    crowded("off line at start");
    instrument.phase = 2;  // the first phase read leaves the buttons as they were
    rig.link.MutableInfo().Online = false;
    rig.link.MutableInfo().VersionText.clear();
    fresh.Logic().Tick();
    ASSERT_EQ(fresh.Logic().Phase(), 2);
    crowded("in phase 2");
    EXPECT_TRUE(fresh.findChild<QPushButton*>("cmdStart")->isVisible());
}

}  // namespace
}  // namespace delvar::testing
