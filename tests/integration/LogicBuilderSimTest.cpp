// The logic statement builder against delvar-sim: opened from the setup window's Edit
// menu and saved (every statement written, checked and read back), and the messages
// for statements the instrument refuses or finds incomplete.
#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QtTest/QTest>
#include <filesystem>

#include "integration/SimLink.h"
#include "setup/DatabaseRig.h"
#include "windows/editors/frmLogic.h"
#include "windows/editors/frmProcess.h"

namespace delvar::testing {
namespace {

using core::MessageAnswer;
using editors::LogicPart;

struct LogicSim : DatabaseRig {
    SimLink sim{Transport::Tcp, {"--setup", DELVAR_DEMO_SETUP}};
    editors::EditorContext context{sim.Link(), *data, dialogs, progress};
};

void Choose(windows::frmLogic& window, const char* list, const QString& text) {
    auto* widget = window.findChild<QListWidget*>(list);
    ASSERT_NE(widget, nullptr) << list;
    const auto found = widget->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {},
                      widget->visualItemRect(found.front()).center());
}

void Click(QWidget& window, const char* name) {
    auto* button = window.findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

TEST(LogicBuilderSim, OpenedFromTheSetupWindowAndSavedToTheInstrument) {
    LogicSim r;
    ASSERT_TRUE(r.sim.Connect());
    app::AppSettings settings;
    settings.DatabaseFile = r.Path("Delvar.mdb");
    std::filesystem::copy_file(DELVAR_DEMO_SETUP, settings.DatabaseFile);
    windows::EditorOpeners openers;
    bool saved = false;
    openers.logic = [&](editors::EditorContext& c) {
        windows::frmLogic window(c);
        window.show();
        Choose(window, "lstIfCategory", "States");
        Choose(window, "lstIfSelect", "Deposit");
        Click(window, "cmdAdd");
        Click(window, "cmdOp_0");  // AND
        Choose(window, "lstIfCategory", "Sensors");
        Choose(window, "lstIfSelect", "Sens1_Fail");
        Click(window, "cmdAdd");
        Choose(window, "lstThenCategory", "Alarms");
        Choose(window, "lstThenSelect", "Sound_Alarm");
        r.dialogs.answers = {MessageAnswer::Ok};
        Click(window, "cmdSave");
        saved = !window.isVisible();
    };
    windows::frmProcess setupWindow({r.sim.Link(), *r.data, r.db, r.dialogs, r.progress, settings,
                                     r.folder.path.string(), std::move(openers)},
                                    0);
    setupWindow.Start();
    auto* item = setupWindow.findChild<QAction*>("mnuEditLogic");
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    item->trigger();
    EXPECT_TRUE(saved) << r.dialogs.LastText();
    EXPECT_EQ(r.dialogs.LastText().rfind("Logic changes must be written to Delvar", 0), 0u)
        << r.dialogs.LastText();
    const std::int32_t expected[] = {710, 3, 509};
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), r.data->logic[1].IF.begin()));
    EXPECT_EQ(r.data->logic[1].THEN, 501);
    const std::string held = r.sim.Link().SendCommand("I1? 2 3 4");
    EXPECT_EQ(held, "2,710:3:509 3,501 4,1");
    setupWindow.reject();
}

TEST(LogicBuilderSim, RefusedAndIncompleteStatementsAreNamedAndTheInstrumentsKept) {
    LogicSim r;
    ASSERT_TRUE(r.sim.Connect());
    r.data->logic[2].IF = {2};    // no such term
    r.data->logic[3].THEN = 900;  // no such action
    r.data->logic[4].IF = {101, 3};
    windows::frmLogic window(r.context);
    window.show();
    const std::string before3 = r.sim.Link().SendCommand("I3? 2 3");

    Click(window, "cmdDnLoadAll");
    const std::vector<std::string> shown = r.dialogs.Texts();
    auto has = [&](const std::string& text) {
        return std::find(shown.begin(), shown.end(), text) != shown.end();
    };
    EXPECT_TRUE(has("Statement 2: Error in IF condition.")) << ::testing::PrintToString(shown);
    EXPECT_TRUE(has("Statement 3: Error in THEN action."));
    EXPECT_TRUE(has("Statement 4: Error in IF condition."));
    EXPECT_TRUE(has("Error in logic: Statement 4"));
    EXPECT_EQ(r.sim.Link().SendCommand("I3? 2 3"), before3) << "a refused statement is not stored";
    EXPECT_EQ(r.sim.Link().SendCommand("I4? 4"), "4,0");
    EXPECT_EQ(window.Logic().Working().logic[4].IF[1], 3) << "read back as the instrument holds it";

    r.dialogs.ClearRecord();
    window.Logic().StatementChosen(3);
    Click(window, "cmdUpLoad");
    EXPECT_TRUE(r.dialogs.Texts().empty()) << r.dialogs.LastText();
    EXPECT_EQ(window.Logic().Working().logic[4].IF[0], 101);
}

}  // namespace
}  // namespace delvar::testing
