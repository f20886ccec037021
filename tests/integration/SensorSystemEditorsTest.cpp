// The sensor and system windows against delvar-sim: a two-channel read moving
// sensors 1 and 2 with inputs and relays 1 to 8, a write the instrument refuses at
// the second sensor with both sensors restored, and the system record read and written
// (the deviation graph's largest scale too).
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QtTest/QTest>

#include "commands/modCommSystem.h"
#include "integration/SimLink.h"
#include "support/ScriptedDialogs.h"
#include "windows/editors/frmSensors.h"
#include "windows/editors/frmSystem.h"

namespace delvar::testing {
namespace {

struct EditorSim {
    SimLink sim;
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    ScriptedDialogs dialogs;
    setup::NoProgress progress;
    editors::EditorContext context{sim.Link(), *setup, dialogs, progress};
    explicit EditorSim(std::vector<std::string> args = {}) : sim(Transport::Tcp, std::move(args)) {
        setup::ResetSetupData(*setup);
    }
    int InstrumentTooling(int sensor) {
        commands::SensorTable table;
        const link::RepeatDamagedReplies repeat(sim.Link());
        EXPECT_EQ(commands::ReadSensor(sim.Link(), table, sensor, 1), link::kOk);
        return table[sensor].Tooling;
    }
};

void Click(QWidget& window, const char* name) {
    auto* button = window.findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

TEST(SensorEditorSim, TwoChannelsReadSensorsOneAndTwoWithInputsAndRelaysOneToEight) {
    EditorSim r({"--channels", "2"});
    ASSERT_TRUE(r.sim.Connect());
    const std::string input9 = r.setup->inputs[9].Name;
    windows::frmSensors window(editors::ChannelKind::Sensors, r.context);
    window.show();
    Click(window, "cmdUpLoad");
    Click(window, "cmdSave");  // nothing changed since the read: saved without a question
    EXPECT_TRUE(r.dialogs.messages.empty()) << r.dialogs.LastText();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(r.setup->sensors[2].Tooling, 100) << "the instrument's";
    EXPECT_EQ(r.setup->sensors[3].Tooling, 0) << "not on a two-channel instrument";
    EXPECT_EQ(r.setup->inputs[8].Name, setup::FixedName("Input8"));
    EXPECT_EQ(r.setup->relays[8].Name, setup::FixedName("Relay8"));
    EXPECT_EQ(r.setup->inputs[9].Name, input9);
}

TEST(SensorEditorSim, AWriteRefusedAtTheSecondSensorRestoresBoth) {
    EditorSim r;
    ASSERT_TRUE(r.sim.Connect());
    r.setup->sensors[1].Tooling = 250;
    r.setup->sensors[2].Tooling = 500;  // beyond what the instrument takes
    windows::frmSensors window(editors::ChannelKind::Sensors, r.context);
    window.show();
    Click(window, "cmdDnLoad");
    EXPECT_EQ(r.dialogs.Texts(), std::vector<std::string>{
                                     "Sensor 2  download error.\nRestoring original Delvar data."});
    EXPECT_EQ(r.InstrumentTooling(1), 100) << "sensor 1 written back from the backup";
    EXPECT_EQ(r.InstrumentTooling(2), 100);
    EXPECT_TRUE(window.findChild<QPushButton*>("cmdDnLoad")->isEnabled());
}

// Every editor's transfer repeats an exchange whose reply came back damaged: over a
// line that damages one reply in nine, reads and writes end as on a clean line.
TEST(SensorEditorSim, TransfersOverANoisyLineEndAsOnACleanOne) {
    EditorSim r({"--corrupt-every", "9"});
    ASSERT_TRUE(r.sim.Connect());
    windows::frmSensors sensors(editors::ChannelKind::Sensors, r.context);
    sensors.show();
    Click(sensors, "cmdUpLoad");
    EXPECT_EQ(r.setup->sensors[1].Tooling, 0) << "the window's copy, until Save";
    r.setup->sensors[1].Tooling = 250;
    windows::frmSensors written(editors::ChannelKind::Sensors, r.context);
    written.show();
    Click(written, "cmdDnLoad");
    EXPECT_EQ(r.InstrumentTooling(1), 250);
    windows::frmSystem system(r.context);
    system.show();
    Click(system, "cmdUpLoad");
    EXPECT_TRUE(r.dialogs.messages.empty()) << r.dialogs.LastText();
    EXPECT_GT(r.sim.Link().ExchangeCount(), 9u * 4) << "enough exchanges to meet damage";
}

TEST(SystemEditorSim, ReadCancelAndWrite) {
    EditorSim r;
    ASSERT_TRUE(r.sim.Connect());
    r.setup->system.System_Tooling = 222;
    {
        windows::frmSystem window(r.context);
        window.show();
        Click(window, "cmdUpLoad");
        EXPECT_EQ(r.setup->system.System_Tooling, 100) << "the instrument's";
        Click(window, "cmdCancel");
        EXPECT_EQ(r.setup->system.System_Tooling, 222) << "the value the window opened with";
    }
    r.setup->system.Dev_Graph = 50;  // the largest scale the editor offers
    windows::frmSystem window(r.context);
    window.show();
    Click(window, "cmdDnLoad");
    Click(window, "cmdOK");
    EXPECT_TRUE(r.dialogs.messages.empty()) << r.dialogs.LastText();
    setup::SystemRec onInstrument;
    ASSERT_EQ(commands::ReadSystem(r.sim.Link(), onInstrument, 0), link::kOk);
    EXPECT_EQ(onInstrument.System_Tooling, 222);
    EXPECT_EQ(onInstrument.Dev_Graph, 50);
}

}  // namespace
}  // namespace delvar::testing
