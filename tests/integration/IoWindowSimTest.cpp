// The digital I/O window against delvar-sim: a write the instrument refuses part way
// puts back what it held, pins included; the monitor follows a relay that the
// instrument's logic switches when an input changes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QtTest/QTest>

#include "commands/modCommLogic.h"
#include "commands/modCommSystem.h"
#include "integration/SimLink.h"
#include "support/ScriptedDialogs.h"
#include "windows/editors/CellGrid.h"
#include "windows/editors/frmIO.h"

namespace delvar::testing {
namespace {

struct IoSim {
    SimLink sim{Transport::Tcp, {"--channels", "1"}};
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    ScriptedDialogs dialogs;
    setup::NoProgress progress;
    editors::EditorContext context{sim.Link(), *setup, dialogs, progress};
    IoSim() { setup::ResetSetupData(*setup); }

    // What the instrument holds for inputs and relays 1-4.
    std::pair<commands::InputTable, commands::RelayTable> Held() {
        std::pair<commands::InputTable, commands::RelayTable> held;
        for (int k = 1; k <= 4; ++k) {
            EXPECT_EQ(commands::ReadInput(sim.Link(), held.first, k, 0), link::kOk);
            EXPECT_EQ(commands::ReadRelay(sim.Link(), held.second, k, 0), link::kOk);
        }
        return held;
    }
};

QColor Of(editors::GridColour c) {
    return QColor(c.r, c.g, c.b);
}

QColor Background(windows::CellGrid& grid, int row) {
    const QBrush brush = grid.item(row, 1)->background();
    return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

TEST(IoWindowSim, AWriteRefusedAtTheSecondRelayPutsBackEveryEntryWithItsPin) {
    IoSim r;
    ASSERT_TRUE(r.sim.Connect());
    // The instrument's own assignments, as another program left them.
    commands::InputTable inputs;
    commands::RelayTable relays;
    for (int k = 1; k <= 4; ++k) {
        inputs[k] = {setup::WordName("Door " + std::to_string(k)), 0, k % 2, k, 0};
        relays[k] = {
            setup::WordName("Lamp " + std::to_string(k)), 0, 1, 1, 0.5 + k / 10.0, 5 - k, 0};
        ASSERT_EQ(commands::WriteInput(r.sim.Link(), inputs, k, commands::kAllButUsedBy), 0);
        ASSERT_EQ(commands::WriteRelay(r.sim.Link(), relays, k, commands::kAllButUsedBy), 0);
    }
    const auto before = r.Held();

    // The setup in memory assigns other pins; relay 2's pin is damaged (no such pin).
    for (int k = 1; k <= 4; ++k) {
        r.setup->inputs[k] = {setup::WordName("Heater On"), 0, 1, 5 + k, 0};
        r.setup->relays[k] = {setup::WordName("Valve"), 0, 0, 2, 2.0, 9 + k, 0};
    }
    r.setup->relays[2].Pin = 40;
    windows::frmIO window(r.context);
    window.show();
    QTest::mouseClick(window.findChild<QPushButton*>("cmdDnLoad"), Qt::LeftButton);
    EXPECT_EQ(r.dialogs.Texts(),
              std::vector<std::string>{
                  "Input/Relay 2  download error.\nRestoring original Delvar data."});
    const auto after = r.Held();
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(after.first[k], before.first[k]) << "input " << k;
        EXPECT_EQ(after.second[k], before.second[k]) << "relay " << k;
    }
    EXPECT_EQ(after.first[3].Pin, 3);
    EXPECT_EQ(after.second[1].Pin, 4);

    // A read shows what the instrument holds; names with their blanks.
    QTest::mouseClick(window.findChild<QPushButton*>("cmdUpLoad"), Qt::LeftButton);
    auto* grid = window.findChild<windows::CellGrid*>("grdRelays");
    EXPECT_EQ(grid->CellText(2, 1), "Lamp 3");
    EXPECT_EQ(grid->CellText(2, 4), ".8");
    EXPECT_EQ(grid->CellText(2, 5), "2");
    EXPECT_EQ(r.dialogs.Texts().size(), 1u) << r.dialogs.LastText();
}

TEST(IoWindowSim, TheMonitorFollowsARelayTheLogicSwitches) {
    IoSim r;
    ASSERT_TRUE(r.sim.Connect());
    link::Link& link = r.sim.Link();
    // Input 1 reads the chamber's closed "vacuum ready" switch (pin 1); relay 2 follows it.
    link.SendCommand("GA1 3,1");
    ASSERT_EQ(link.CommStatus(), link::kOk);
    commands::LogicTable logic;
    logic[1].Name = setup::WordName("Pump on vacuum");
    logic[1].IF[0] = 101;
    logic[1].THEN = 202;
    ASSERT_EQ(commands::WriteLogic(link, logic, 1), 0);

    windows::frmIO window(r.context);
    window.show();
    auto* inputs = window.findChild<windows::CellGrid*>("grdInputs");
    auto* relays = window.findChild<windows::CellGrid*>("grdRelays");
    QTest::mouseClick(window.findChild<QCheckBox*>("chkMonitor"), Qt::LeftButton);
    window.MonitorTimer();
    const QColor on = Of(editors::kIoOn), off = Of(editors::kIoOff);
    EXPECT_EQ(Background(*inputs, 0), on);
    EXPECT_EQ(Background(*relays, 1), on);
    EXPECT_EQ(Background(*relays, 0), off);
    EXPECT_EQ(Background(*inputs, 3), off);
    EXPECT_EQ(Background(*inputs, 4), QColor()) << "one channel: entries 1-4";

    link.SendCommand("GA1 2,1");  // active low now: the input goes off
    ASSERT_EQ(link.CommStatus(), link::kOk);
    window.MonitorTimer();
    EXPECT_EQ(Background(*inputs, 0), off);
    EXPECT_EQ(Background(*relays, 1), off);
    EXPECT_TRUE(r.dialogs.Texts().empty()) << r.dialogs.LastText();
    window.close();
}

}  // namespace
}  // namespace delvar::testing
