// Clicks that land inside reply waits. Every wait runs window events, so a click can
// come in the middle of a transfer or of a poll: the film editor's all-films upload
// with Cancel, UpLoad and Escape pressed during it, and the main window's Edit menu
// and the communications window's Send chosen while a poll exchange waits.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>
#include <algorithm>
#include <filesystem>

#include "app/MainWindowRig.h"
#include "monitor/DataLog.h"
#include "setup/SetupData.h"
#include "sim/Responder.h"
#include "support/MainWindowParts.h"
#include "support/WindowTesting.h"
#include "util/Text.h"
#include "windows/app/frmComm.h"
#include "windows/app/frmMain.h"
#include "windows/editors/frmFilm.h"

namespace delvar::testing {
namespace {

// The film editor over the simulator's instrument, each reply a few passes late.
struct FilmTransferRig : LinkRig {
    sim::Responder instrument{sim::InstrumentModel{}};
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    ScriptedDialogs dialogs;
    setup::NoProgress progress;
    editors::EditorContext context{link, *setup, dialogs, progress};
    std::vector<std::string> sent;
    std::size_t eventsAt = 0;      // the command in whose wait `events` run
    std::function<void()> events;  // the operator's clicks

    FilmTransferRig() {
        setup::ResetSetupData(*setup);
        link.MutableInfo().Online = true;
        link.MutableInfo().ChannelCount = 4;
        AnswerLaterOn(tcp, pump, [this](const std::string& command) {
            sent.push_back(command);
            if (sent.size() == eventsAt && events) pump.At(pump.Passes() + 1, events);
            const sim::Reply reply = instrument.Respond(command);
            return Answer{reply.status, reply.data};
        });
    }
    long Count(const char* command) const { return std::count(sent.begin(), sent.end(), command); }
};

TEST(TransferWindows, CancelUploadAndEscapeDuringAnAllFilmsUploadWaitForItsEnd) {
    FilmTransferRig r;
    r.setup->films[3].Film_Name = setup::FixedName("Local three");
    windows::frmFilm window(r.context);
    window.show();
    auto* cancel = Child<QPushButton>(window, "cmdCancel");
    auto* upload = Child<QPushButton>(window, "cmdUpLoad");
    ASSERT_TRUE(upload->isEnabled());
    Child<QRadioButton>(window, "optSelect_0")->click();  // All Films

    bool locked = false;
    r.eventsAt = 9;  // XSTART and eight films
    r.events = [&] {
        locked = !cancel->isEnabled() && !upload->isEnabled();
        QTest::mouseClick(cancel, Qt::LeftButton);
        QTest::mouseClick(upload, Qt::LeftButton);
        QTest::keyClick(&window, Qt::Key_Escape);
        EXPECT_TRUE(window.isVisible()) << "the close waits for the end of the transfer";
    };
    QTest::mouseClick(upload, Qt::LeftButton);
    EXPECT_TRUE(locked) << "the other controls are disabled while the films move";
    EXPECT_EQ(r.Count("XSTART"), 1) << "no second transfer inside the first";
    EXPECT_EQ(r.Count("XSTOP"), 1);
    EXPECT_EQ(r.sent.back(), "XSTOP");
    EXPECT_TRUE(r.dialogs.Texts().empty()) << r.dialogs.LastText();  // no "Instrument Busy"
    EXPECT_NE(util::Trim(r.setup->films[3].Film_Name), "Local three")
        << "nothing was restored under the running upload";
    EXPECT_TRUE(cancel->isEnabled());

    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isVisible()) << "Escape is carried out once the transfer has ended";
    EXPECT_NE(util::Trim(r.setup->films[3].Film_Name), "Local three") << "Escape keeps the films";
}

// The main window on a scripted instrument whose replies come a few passes late.
struct PollWindow : ::testing::Test, MainWindowParts {
    LinkRig rig;
    FakeInstrument instrument;
    void TearDown() override { w.reset(); }  // before the link it uses

    void SetUp() override {
        AnswerLaterOn(rig.tcp, rig.pump,
                      [this](const std::string& c) { return instrument.Respond(c); });
        rig.link.Settings().Type = link::kPortTcp;
        Make(rig.link).show();
        w->Logic().Tick();  // the connect
        ASSERT_TRUE(rig.link.Info().Online);
    }
    // Runs events inside the wait of the tick's first exchange, then the tick.
    void TickWith(std::function<void()> events) {
        rig.pump.At(rig.pump.Passes() + 1, std::move(events));
        w->Logic().Tick();
    }
};

TEST_F(PollWindow, EditInstrumentChosenDuringAPollStartsItsUploadAfterTheWait) {
    std::vector<int> lock;  // the status of the upload's XSTART
    w->openSetupWindow = [&](int source) {
        EXPECT_EQ(source, 1);
        rig.link.SendCommand("XSTART");
        lock.push_back(rig.link.CommStatus());
    };
    auto* menu = w->findChild<QAction*>("mnuEditInstrument");
    ASSERT_TRUE(menu && menu->isEnabled());
    TickWith([&] {
        menu->trigger();
        menu->trigger();  // chosen again while it waits: still one window
    });
    EXPECT_TRUE(lock.empty()) << "nothing starts inside the poll";
    rig.pump.RunPosted();  // back in the event loop
    EXPECT_EQ(lock, std::vector<int>{link::kOk}) << "not refused as busy";
    EXPECT_FALSE(w->UpdateTimer().isActive()) << "the poll stops for the setup window";
}

TEST_F(PollWindow, ACommandSentDuringAPollGoesOutAfterTheWait) {
    windows::frmComm& comm = w->CommWindow();
    comm.Open();
    Child<QLineEdit>(comm, "txtSend")->setText("J");
    TickWith([&] { QTest::mouseClick(Child<QPushButton>(comm, "cmdSend"), Qt::LeftButton); });
    rig.pump.RunPosted();
    EXPECT_EQ(Child<QLineEdit>(comm, "txtRcv")->text(), "4");
    comm.close();
}

}  // namespace
}  // namespace delvar::testing
