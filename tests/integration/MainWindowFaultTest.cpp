// The main window (offscreen) against delvar-sim over TCP with real faults: a line
// that damages one reply in 25, and an instrument that goes away and comes back on
// the same port. Ticks are run by the test, one after another; the instrument's time
// runs 100 times faster, so its phases move on within a few ticks.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <memory>

#include "monitor/DataLog.h"
#include "platform/QtEventPump.h"
#include "platform/QtSerialPort.h"
#include "platform/QtTcpSocket.h"
#include "setup/Progress.h"
#include "support/FakeUsbXpress.h"
#include "support/MainWindowParts.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/SimProcess.h"
#include "windows/app/frmMain.h"

namespace delvar::testing {
namespace {

const std::vector<std::string> kFast = {"--speed", "100", "--setup", DELVAR_DEMO_SETUP};

struct MainWindowFaults : ::testing::Test, MainWindowParts {
    std::unique_ptr<SimProcess> sim;
    platform::QtSerialPort serial;
    platform::QtTcpSocket tcp;
    FakeUsbXpress usb;
    platform::QtEventPump pump;
    link::SteadyClock steady;
    link::Link link{{serial, tcp, usb, pump, steady}};
    void TearDown() override { w.reset(); }  // before the link it uses

    void Start(std::vector<std::string> args) {
        SimOptions options;
        options.extraArgs = std::move(args);
        sim = std::make_unique<SimProcess>(DELVAR_SIM_PATH, options);
        link.Settings().Type = link::kPortTcp;
        link.Settings().EAddress = "127.0.0.1";
        link.Settings().EPort = std::to_string(sim->tcpPort());
        settings.log.LogMode = 2;
        settings.log.Interval = 0;
        Make(link).UpdateTimer().stop();  // the test runs the ticks
        w->show();
        Tick();
        ASSERT_TRUE(link.Info().Online) << dialogs.LastText();
    }
    void Tick() {
        clock.seconds += 0.5;
        w->Logic().Tick();
    }
    // Ticks until the phase satisfies done, at most limit ticks.
    template <typename Done>
    bool TickUntil(Done done, int limit = 4000) {
        for (int tick = 0; tick < limit && !done(w->Logic().Phase()); ++tick) Tick();
        return done(w->Logic().Phase());
    }
    template <typename T>
    T* Find(const char* name) {
        return w->findChild<T*>(name);
    }
    std::string Log() const { return ReadFile(log.Path()); }
};

// Every 25th reply has wrong check bytes: the poll never stops, every tick still
// produces a reading, and the run is logged to its end line.
TEST_F(MainWindowFaults, ALineThatDamagesOneReplyIn25NeverStopsTheMonitor) {
    std::vector<std::string> args = kFast;
    args.insert(args.end(), {"--corrupt-every", "25"});
    Start(args);
    Tick();  // the selection made at connect
    Find<QPushButton>("cmdStart")->click();
    ASSERT_TRUE(TickUntil([](int phase) { return app::IsActivePhase(phase); }));
    const std::uint64_t before = w->Logic().PollTicks(), read = w->Logic().ReadingTicks();
    for (int tick = 0; tick < 150; ++tick) {
        const std::uint64_t exchanges = link.ExchangeCount();
        Tick();
        ASSERT_GE(link.ExchangeCount(), exchanges + 3) << "tick " << tick << " polled";
    }
    EXPECT_EQ(w->Logic().PollTicks() - before, 150u);
    EXPECT_EQ(w->Logic().ReadingTicks() - read, 150u) << "a damaged reply is asked again";
    EXPECT_TRUE(link.Info().Online);
    EXPECT_EQ(w->windowTitle().left(14).toStdString(), "Delvar Comm - ");
    EXPECT_FALSE(w->windowTitle().contains("Off Line"));

    if (w->Logic().Phase() != 0) Find<QPushButton>("cmdAbort")->click();
    ASSERT_TRUE(TickUntil([](int phase) { return phase == 0; }));
    const std::string text = Log();
    EXPECT_EQ(text.rfind("Start:", 0), 0u);
    EXPECT_NE(text.find("\r\nEnd:     Date: "), std::string::npos) << "the run's end line";
}

// The instrument is switched off mid-run and on again: the window goes off line with
// its run controls disabled and says it is trying again, finds the instrument on the
// same port within 5 s of poll time, and the run that ended meanwhile gets its end line.
TEST_F(MainWindowFaults, ALostInstrumentComesBackOnItsPort) {
    Start(kFast);
    const int port = sim->tcpPort();
    Tick();
    Find<QPushButton>("cmdStart")->click();
    ASSERT_TRUE(TickUntil([](int phase) { return app::IsActivePhase(phase); }));
    Tick();
    ASSERT_TRUE(w->Logic().LogRunActive());

    sim.reset();  // switched off
    Tick();       // the poll times out
    Tick();       // the port is refused
    ASSERT_FALSE(link.Info().Online);
    EXPECT_TRUE(w->windowTitle().endsWith("[Off Line]"));
    for (const char* name : {"cmdAbort", "cmdStopLayer", "cmdZero", "cmdAutoMan"})
        EXPECT_FALSE(Find<QPushButton>(name)->isEnabled()) << name;
    EXPECT_FALSE(Find<QComboBox>("cboProcess")->isEnabled());
    EXPECT_FALSE(Find<QSlider>("sldManPwr_0")->isEnabled());
    EXPECT_TRUE(w->statusBar()->currentMessage().contains("Trying again"))
        << w->statusBar()->currentMessage().toStdString();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.LastText();

    // Switched on again: a fresh instrument, stopped.
    std::vector<std::string> args = {"--port", std::to_string(port)};
    args.insert(args.end(), kFast.begin(), kFast.end());
    SimOptions options;
    options.tcp = false;
    options.extraArgs = args;
    sim = std::make_unique<SimProcess>(DELVAR_SIM_PATH, options);
    for (int tick = 0; tick < 10 && !link.Info().Online; ++tick) Tick();
    ASSERT_TRUE(link.Info().Online) << "found again within 5 s of poll time";
    EXPECT_EQ(w->Logic().Phase(), 0);
    EXPECT_TRUE(Find<QPushButton>("cmdStart")->isEnabled());
    EXPECT_TRUE(Find<QComboBox>("cboProcess")->isEnabled());
    EXPECT_FALSE(w->windowTitle().contains("Off Line"));
    EXPECT_NE(Log().find("\r\nEnd:     Date: "), std::string::npos) << "the run ended meanwhile";
    EXPECT_FALSE(w->Logic().LogRunActive());
    const std::uint64_t exchanges = link.ExchangeCount();
    Tick();
    EXPECT_GE(link.ExchangeCount(), exchanges + 3) << "polling resumed";
}

}  // namespace
}  // namespace delvar::testing
