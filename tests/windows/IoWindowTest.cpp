// The digital I/O window on its real controls: grids and tool tips, a name typed into
// the grid, the monitor's coloured rows and its timer, and a close during a write.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>
#include <QtTest/QTest>
#include <set>

#include "commands/CommandRig.h"
#include "support/WindowTesting.h"
#include "windows/editors/CellGrid.h"
#include "windows/editors/frmIO.h"

namespace delvar::windows {
namespace {

using namespace delvar::testing;

struct IoWindowRig {
    CommandRig rig;
    setup::NoProgress progress;
    editors::EditorContext context{rig.link, *rig.setup, rig.dialogs, progress};
    int relay2 = 0;  // the state of relay 2 the instrument reports
    explicit IoWindowRig(bool online = true) {
        rig.link.MutableInfo().Online = online;
        rig.respond = [this](const std::string& c) -> Answer {
            if (c.rfind("GC", 0) == 0)
                return {'A', "1," + std::string(c[2] == '1' && c[3] == '?' ? "1" : "0") + " 2," +
                                 std::string(c.rfind("GC2?", 0) == 0 && relay2 ? "1" : "0")};
            return {};
        };
    }
};

// Opens the name cell of row for typing; the open editor.
QLineEdit* OpenCell(CellGrid& grid, int row) {
    grid.setCurrentCell(row, 1);
    grid.editItem(grid.item(row, 1));
    QCoreApplication::processEvents();
    for (QLineEdit* e : grid.viewport()->findChildren<QLineEdit*>())
        if (e->isVisible()) return e;
    return nullptr;
}

QColor Of(editors::GridColour c) {
    return QColor(c.r, c.g, c.b);
}

QColor Background(CellGrid& grid, int row, int col = 1) {
    const QBrush brush = grid.item(row, col)->background();
    return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

TEST(IoWindow, GridsToolTipsAndANameTypedWithABlank) {
    IoWindowRig r(false);
    frmIO window(r.context);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Digital I/O");
    EXPECT_FALSE(Child(window, "cmdUpLoad")->isEnabled()) << "off line";
    EXPECT_FALSE(Child(window, "chkMonitor")->isEnabled());
    auto* inputs = Child<CellGrid>(window, "grdInputs");
    auto* relays = Child<CellGrid>(window, "grdRelays");
    ASSERT_TRUE(inputs && relays);
    EXPECT_EQ(inputs->rowCount(), 16);
    EXPECT_EQ(relays->columnCount(), 7);
    EXPECT_EQ(inputs->item(4, 1)->toolTip(), "Descriptive name for this input.");
    EXPECT_EQ(relays->horizontalHeaderItem(5)->toolTip(),
              "Physical relay assigned to this logical relay.");
    EXPECT_TRUE(inputs->isVisible());
    EXPECT_FALSE(relays->isVisible());
    QTest::mouseClick(Child(window, "optIO_1"), Qt::LeftButton);
    EXPECT_TRUE(relays->isVisible());

    QLineEdit* editor = OpenCell(*relays, 0);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(relays->Editing());
    editor->selectAll();
    QTest::keyClicks(editor, "Heater On");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the grid ends the edit from the event loop
    EXPECT_EQ(relays->CellText(0, 1), "Heater On");
    EXPECT_EQ(window.Logic().Relays()[1].Name, setup::FixedName("Heater_On"));

    // Each control's access key is its own.
    std::set<QChar> keys;
    for (QAbstractButton* b : window.findChildren<QAbstractButton*>()) {
        const int amp = b->text().indexOf('&');
        if (amp >= 0) {
            EXPECT_TRUE(keys.insert(b->text().at(amp + 1).toLower()).second)
                << b->text().toStdString();
        }
    }
    QTest::mouseClick(Child(window, "cmdOK"), Qt::LeftButton);
    EXPECT_TRUE(window.isVisible()) << "off line the changes cannot be saved";
    QTest::mouseClick(Child(window, "cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(r.rig.setup->relays[1].Name, setup::FixedName("")) << "Cancel keeps the setup";
}

TEST(IoWindow, TheMonitorColoursRowsUntilItStopsAndEndsWithTheWindow) {
    IoWindowRig r;
    frmIO window(r.context);
    window.show();
    auto* inputs = Child<CellGrid>(window, "grdInputs");
    auto* relays = Child<CellGrid>(window, "grdRelays");
    auto* timer = Child<QTimer>(window, "tmrMonitor");
    auto* monitor = Child<QCheckBox>(window, "chkMonitor");
    ASSERT_TRUE(inputs && relays && timer && monitor);
    const QColor caption = Background(*inputs, 0, 0);

    QTest::mouseClick(monitor, Qt::LeftButton);
    EXPECT_TRUE(timer->isActive());
    EXPECT_FALSE(Child(window, "cmdDnLoad")->isEnabled());
    window.MonitorTimer();
    EXPECT_EQ(Background(*inputs, 0), Of(editors::kIoOn));
    EXPECT_EQ(Background(*inputs, 1), Of(editors::kIoOff));
    EXPECT_EQ(Background(*relays, 1), Of(editors::kIoOff));
    r.relay2 = 1;  // the relay switches on
    window.MonitorTimer();
    EXPECT_EQ(Background(*relays, 1), Of(editors::kIoOn));
    EXPECT_EQ(Background(*relays, 1, 0), Of(editors::kIoOn)) << "the whole row";
    EXPECT_TRUE(monitor->isEnabled()) << "given back after the tick";

    // A tick while a cell is open waits for the next one.
    const auto sent = r.rig.sent.size();
    QLineEdit* editor = OpenCell(*inputs, 2);
    ASSERT_NE(editor, nullptr);
    window.MonitorTimer();
    EXPECT_EQ(r.rig.sent.size(), sent);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(inputs->Editing());

    QTest::mouseClick(monitor, Qt::LeftButton);
    EXPECT_FALSE(timer->isActive());
    EXPECT_TRUE(Child(window, "cmdDnLoad")->isEnabled());
    EXPECT_EQ(Background(*relays, 1), QColor()) << "back to normal";
    EXPECT_EQ(Background(*relays, 1, 0), caption);

    QTest::mouseClick(monitor, Qt::LeftButton);
    ASSERT_TRUE(timer->isActive());
    window.close();
    EXPECT_FALSE(timer->isActive()) << "the timer ends with the window";
    EXPECT_FALSE(window.Logic().Monitoring());
}

TEST(IoWindow, ACloseDuringAWriteWaitsForItsEndAndTicksWaitTheirTurn) {
    IoWindowRig r;
    frmIO window(r.context);
    window.show();
    int writes = 0;
    bool lockedDuringWrite = false, stillOpen = false;
    std::size_t ticksSent = 0;
    r.rig.respond = [&](const std::string& c) -> Answer {
        if (c.rfind("GA1 1,", 0) == 0 && writes++ == 0) {
            lockedDuringWrite = !Child(window, "cmdCancel")->isEnabled() &&
                                !Child(window, "grdInputs")->isEnabled();
            const auto before = r.rig.sent.size();
            window.MonitorTimer();  // this window's transfer runs: no tick
            ticksSent = r.rig.sent.size() - before;
            QTest::keyClick(&window, Qt::Key_Escape);
            stillOpen = window.isVisible();
        }
        return {};
    };
    QTest::mouseClick(Child(window, "cmdDnLoad"), Qt::LeftButton);
    EXPECT_TRUE(lockedDuringWrite);
    EXPECT_EQ(ticksSent, 0u);
    EXPECT_TRUE(stillOpen) << "the close waits";
    EXPECT_EQ(r.rig.sent.back(), "XSTOP") << "the write ran to its end";
    QApplication::processEvents();
    EXPECT_FALSE(window.isVisible()) << "and is carried out after it";
    EXPECT_EQ(window.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace delvar::windows
