#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QTableWidget>
#include <QTimer>

#include "core/CErrHandler.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedDialogs.h"
#include "windows/app/frmSplash.h"
#include "windows/monitor/frmReadings.h"

namespace delvar::windows {
namespace {

QString Cell(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = grid.item(row, column);
    return item ? item->text() : "<none>";
}

TEST(ReadingsWindow, ShowsEachSensorInItsFormatsAndFailForAStoppedCrystal) {
    std::array<commands::SensorReading, 4> sensors{};
    sensors[0] = {12.34, 1.23456, 5987654.321};
    sensors[1] = {0.5, 0, 0};        // failed crystal
    sensors[2] = {-0.04, -2.5, -1};  // a negative frequency is a number
    sensors[3] = {0, 10, 0.001};
    frmReadings window(sensors, nullptr);
    auto* grid = window.findChild<QTableWidget*>("grdReading");
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);

    const QStringList heading = {"", "Rate (A/s) ", "Thick (kA) ", "Freq. (Hz) "};
    for (int c = 0; c < 4; ++c) EXPECT_EQ(Cell(*grid, 0, c), heading[c]);
    const QStringList expected[4] = {{"Sensor 1", "12.3", "1.235", "5987654.32"},
                                     {"Sensor 2", ".5", "0.000", "Fail"},
                                     {"Sensor 3", ".0", "-2.500", "-1.00"},
                                     {"Sensor 4", ".0", "10.000", "0.00"}};
    for (int r = 1; r <= 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(Cell(*grid, r, c), expected[r - 1][c]) << r << "," << c;

    auto* timer = window.findChild<QTimer*>("Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 250);
    sensors[1].Frequency = 6000000;  // the poll read new values
    sensors[1].Rate = 3.06;
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
    EXPECT_EQ(Cell(*grid, 2, 1), "3.1");
    EXPECT_EQ(Cell(*grid, 2, 3), "6000000.00");
}

TEST(ReadingsWindow, EveryHandlerRunsUnderItsProcedureName) {
    testing::ScratchFolder dir;
    testing::ScriptedDialogs dialogs;
    core::CErrHandler errors(dialogs, core::AppInfo{}, dir / "ERRORS.TXT", dir.path());
    errors.SetTraceExecution(true);  // every name pushed goes into the trace
    std::array<commands::SensorReading, 4> sensors{};
    {
        frmReadings window(sensors, &errors);
        EXPECT_EQ(errors.Depth(), 0);
        ASSERT_TRUE(QMetaObject::invokeMethod(window.findChild<QTimer*>("Timer1"), "timeout"));
        EXPECT_EQ(errors.Depth(), 0);
    }
    EXPECT_EQ(testing::ReadFile(errors.TracePath()),
              "frmReadings_Form_Load\nfrmReadings_InitGrid\nfrmReadings_MorvikReading\n"
              "frmReadings_MorvikReading\n");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(ProgressWindow, ShowsCaptionLinesAndBarAndStartsEmpty) {
    frmSplash splash;
    auto* action = splash.findChild<QLabel*>("lblAction");
    auto* detail = splash.findChild<QLabel*>("lblDetail");
    auto* bar = splash.findChild<QProgressBar*>("prgLoad");
    ASSERT_TRUE(action && detail && bar);
    EXPECT_EQ(splash.windowTitle(), "Loading");
    EXPECT_EQ(action->text(), "");
    EXPECT_EQ(bar->value(), 0);

    splash.Show("Saving Database", "Saving layers", "Layer 12", 40);
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(splash.windowTitle(), "Saving Database");
    EXPECT_EQ(action->text(), "Saving layers");
    EXPECT_EQ(detail->text(), "Layer 12");
    EXPECT_EQ(bar->value(), 40);
    splash.Update("Saving films", "Film 3", 130);  // out of range: held at the end
    EXPECT_EQ(detail->text(), "Film 3");
    EXPECT_EQ(bar->value(), 100);
    splash.Update("", "", -5);
    EXPECT_EQ(bar->value(), 0);
    splash.Close();
    EXPECT_FALSE(splash.isVisible());
}

}  // namespace
}  // namespace delvar::windows
