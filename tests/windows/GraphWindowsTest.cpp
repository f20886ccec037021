// The graph area over Qt Charts and the graph settings window, driven offscreen.
// With DELVAR_SHOTS set to a folder, the charts and the window are saved there as PNGs.
#include <gtest/gtest.h>

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <cmath>

#include "monitor/Graphs.h"
#include "windows/monitor/GraphArea.h"
#include "windows/monitor/QtChartControl.h"
#include "windows/monitor/frmGraphSet.h"

namespace delvar::windows {
namespace {

struct GraphAreaRig {
    GraphAreaRig() {
        area.LoadLooks(DELVAR_CHART_LOOKS);
        area.resize(760, 420);
    }
    // A run of 300 half-second ticks; output 4 is out of use from 100 to 115 s, output
    // 1's rate goes off the top of the axis from 125 to 132 s.
    void Run() {
        graphs.InitGraph(r, 0);
        graphs.AdvancePoint();
        for (int i = 1; i <= 300; ++i) {
            double t = i * 0.5;
            for (int s = 0; s < 4; ++s) {
                r.outputs[s] = {4 + 3 * s + std::sin(t / 8 + s), 8 * std::sin(t / 5 + s), 0,
                                20 + 15 * s + 5 * std::cos(t / 9)};
                r.sensors[s] = {r.outputs[s].Rate * 1.05, 0, 5.9e6};
            }
            if (t > 125 && t < 132) r.outputs[0].Rate = 40;
            if (t > 100 && t < 115) r.outputs[3].Power = -1;
            graphs.UpdateGraph(r, t);
            graphs.AdvancePoint();
        }
    }
    void Shoot(const QString& name, QWidget& widget) {
        QString folder = qEnvironmentVariable("DELVAR_SHOTS");
        if (folder.isEmpty()) return;
        widget.show();
        QCoreApplication::processEvents();
        widget.grab().save(QDir(folder).filePath(name + ".png"));
    }
    GraphArea area;
    monitor::Graphs graphs{area.Charts()};
    commands::RunReadings r;
};

TEST(GraphArea, HoleShowsAsAGapAndAHiddenChartDrawsTheSameRuns) {
    GraphAreaRig rig;
    rig.graphs.SetDisplay(2);
    rig.Run();
    rig.Shoot("PowerGraph", rig.area);
    std::vector<QLineSeries*> drawn = rig.area.Chart(2).Runs(3);  // appended tick by tick
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_LE(drawn[0]->points().back().x(), 100);
    EXPECT_GE(drawn[1]->points().front().x(), 114);

    rig.graphs.SetDisplay(1);  // loaded in one replace
    rig.Shoot("DevGraph", rig.area);
    std::vector<QLineSeries*> loaded = rig.area.Chart(1).Runs(3);
    ASSERT_EQ(loaded.size(), 2u);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(loaded[k]->points().front().x(), drawn[k]->points().front().x());
        EXPECT_EQ(loaded[k]->count(), drawn[k]->count());
    }
    EXPECT_EQ(rig.area.Chart(1).Runs(2).size(), 1u);
    EXPECT_TRUE(rig.area.Chart(1).View()->isVisibleTo(&rig.area));
    EXPECT_FALSE(rig.area.Chart(2).View()->isVisibleTo(&rig.area));

    rig.graphs.SetDisplay(3);
    rig.Shoot("ChannelGraph", rig.area);
    EXPECT_EQ(rig.area.Chart(3).Runs(3).size(), 1u);  // sensors have no holes
    rig.graphs.SetDisplay(0);
    rig.Shoot("AverageGraph", rig.area);
}

TEST(GraphArea, LooksComeFromTheirFilesAndARefusedFileLeavesTheChart) {
    GraphArea area;
    QString shipped = area.Chart(1).View()->chart()->title();
    EXPECT_EQ(shipped, "Output Deviation (%)");
    QTemporaryDir dir;
    QFile good(dir.filePath("AVG_DEP.OC2")), bad(dir.filePath("DEV_DEP.OC2"));
    ASSERT_TRUE(good.open(QIODevice::WriteOnly) && bad.open(QIODevice::WriteOnly));
    good.write(
        "DelvarChartLook 1\r\n# a comment\r\ntitle = Rate here\r\ny_max = 7\r\n"
        "x_wide = -1\r\ngrid = #12345\r\nseries1 = Left | #0000ff\r\n");
    bad.write("title = not a look\n");
    good.close();
    bad.close();
    area.LoadLooks(dir.path().toStdString());
    EXPECT_EQ(area.Chart(0).View()->chart()->title(), "Rate here");
    EXPECT_EQ(area.Chart(0).LoadedAxes().YMax, 7);
    EXPECT_EQ(area.Chart(0).LoadedAxes().XWide, 60);  // a width below 0 is skipped
    EXPECT_EQ(area.Chart(0).View()->chart()->series().at(0)->name(), "Left");
    EXPECT_EQ(area.Chart(1).View()->chart()->title(), shipped);
    EXPECT_EQ(area.Chart(0).View()->objectName(), "AverageGraph");
}

TEST(GraphArea, AxesThatCannotBeDrawnNeverHangOrBlankTheChart) {
    QTemporaryDir dir;
    QFile look(dir.filePath("AVG_DEP.OC2"));
    ASSERT_TRUE(look.open(QIODevice::WriteOnly));
    look.write("DelvarChartLook 1\ntitle = Damaged\nx_min = 2e17\n");
    look.close();
    GraphArea area;
    area.LoadLooks(dir.path().toStdString());  // refused: the chart keeps its defaults
    EXPECT_EQ(area.Chart(0).View()->chart()->title(), "Output Rate (\u00c5/s)");

    // Axes the logic refuses, given to the chart anyway, draw its default axes.
    QtChartControl& chart = area.Chart(1);
    const double nan = std::nan("");
    for (const monitor::GraphAxes& bad :
         {monitor::GraphAxes{2e17, 60, 10, true, 0, 20, 2, true},
          monitor::GraphAxes{0, 1e300, 1e-300, true, 0, 20, 2, true},
          monitor::GraphAxes{nan, nan, nan, true, nan, nan, nan, true},
          monitor::GraphAxes{0, 60, 10, true, -1e300, 1e300, 1e-300, true}}) {
        chart.SetAxes(bad);
        const QList<QAbstractAxis*> axes = chart.View()->chart()->axes();
        auto* time = qobject_cast<QCategoryAxis*>(axes.at(0));
        ASSERT_NE(time, nullptr);
        EXPECT_LE(time->count(), 51);
        EXPECT_EQ(time->min(), 0);
        EXPECT_EQ(time->max(), 60);
    }
}

template <typename T>
T* Find(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(name);
    if (!found) ADD_FAILURE() << "no control " << name;
    return found;
}

TEST(frmGraphSet, OkAppliesEachValueAxisAndTheTimeAxisToAllGraphs) {
    GraphAreaRig rig;
    rig.graphs.LoadSetup(3, "YDiv=2.5;");
    bool xGrid = rig.graphs.Axes(1).XGrid;
    frmGraphSet window(rig.graphs);
    EXPECT_EQ(window.windowTitle(), "Configure Graph");
    rig.Shoot("frmGraphSet", window);
    Find<QDoubleSpinBox>(window, "spnYmax_1")->setValue(80);
    Find<QDoubleSpinBox>(window, "spnYMin_1")->setValue(-20);
    Find<QCheckBox>(window, "chkYDiv_3")->setChecked(false);
    Find<QDoubleSpinBox>(window, "spnInterval")->setValue(120);
    Find<QDoubleSpinBox>(window, "spnXGrid")->setValue(30);
    Find<QCheckBox>(window, "chkXDiv")->setChecked(!xGrid);
    QDoubleSpinBox* min0 = Find<QDoubleSpinBox>(window, "spnYMin_0");
    min0->setValue(500);  // held below its maximum
    EXPECT_EQ(min0->value(), Find<QDoubleSpinBox>(window, "spnYmax_0")->value() - 1);
    Find<QPushButton>(window, "cmdOK")->click();

    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(rig.graphs.Axes(2).YMin, -20);
    EXPECT_EQ(rig.graphs.Axes(2).YMax, 80);
    EXPECT_FALSE(rig.graphs.Axes(4).YGrid);
    EXPECT_EQ(rig.graphs.Axes(3).YDiv, 2.5);
    for (int g = 1; g <= 4; ++g) {
        EXPECT_EQ(rig.graphs.Axes(g).XWide, 120) << g;
        EXPECT_EQ(rig.graphs.Axes(g).XDiv, 30) << g;
        EXPECT_EQ(rig.graphs.Axes(g).XGrid, !xGrid) << g;
    }
}

TEST(frmGraphSet, CancelChangesNothing) {
    GraphAreaRig rig;
    std::array<monitor::GraphAxes, 4> before;
    for (int g = 0; g < 4; ++g) before[g] = rig.graphs.Axes(g + 1);
    frmGraphSet window(rig.graphs);
    Find<QDoubleSpinBox>(window, "spnYmax_2")->setValue(55);
    Find<QDoubleSpinBox>(window, "spnInterval")->setValue(300);
    Find<QCheckBox>(window, "chkYDiv_0")->setChecked(!before[0].YGrid);
    Find<QPushButton>(window, "cmdCancel")->click();
    EXPECT_EQ(window.result(), QDialog::Rejected);
    for (int g = 0; g < 4; ++g) EXPECT_EQ(rig.graphs.Axes(g + 1), before[g]) << g;
}

TEST(frmGraphSet, ShowsTheValuesInForceAndOkKeepsThoseNobodyChanged) {
    GraphAreaRig rig;
    rig.graphs.LoadSetup(1, "YMin=-0.25;YMax=3.5;YDiv=0.5;");
    rig.graphs.LoadSetup(2, "YMax=200000;YDiv=500.1234;");  // beyond the spinners' ranges
    rig.graphs.SetXAxis(5, 0.5, true);
    std::array<monitor::GraphAxes, 4> before;
    for (int g = 0; g < 4; ++g) before[g] = rig.graphs.Axes(g + 1);
    frmGraphSet window(rig.graphs);
    EXPECT_EQ(Find<QDoubleSpinBox>(window, "spnYGrid_0")->text(), "0.5");
    EXPECT_EQ(Find<QDoubleSpinBox>(window, "spnYMin_0")->text(), "-0.25");
    EXPECT_EQ(Find<QDoubleSpinBox>(window, "spnYmax_1")->value(), 200000);
    EXPECT_EQ(Find<QDoubleSpinBox>(window, "spnYGrid_1")->text(), "500.123");
    EXPECT_EQ(Find<QDoubleSpinBox>(window, "spnInterval")->value(), 5);
    EXPECT_EQ(Find<QDoubleSpinBox>(window, "spnXGrid")->value(), 0.5);
    Find<QCheckBox>(window, "chkYDiv_2")->setChecked(false);
    Find<QPushButton>(window, "cmdOK")->click();
    before[2].YGrid = false;
    for (int g = 0; g < 4; ++g) EXPECT_EQ(rig.graphs.Axes(g + 1), before[g]) << g;
}

TEST(frmGraphSet, ValuesThatCannotBeDrawnDisableOkAndSayWhy) {
    GraphAreaRig rig;
    frmGraphSet window(rig.graphs);
    auto* ok = Find<QPushButton>(window, "cmdOK");
    auto* problem = Find<QLabel>(window, "lblProblem");
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_FALSE(problem->isVisibleTo(&window));
    Find<QDoubleSpinBox>(window, "spnInterval")->setValue(86400);
    Find<QDoubleSpinBox>(window, "spnXGrid")->setValue(1);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(problem->isVisibleTo(&window));
    EXPECT_TRUE(problem->text().startsWith("All Graphs - X Axis: "))
        << problem->text().toStdString();
    rig.Shoot("frmGraphSet-refused", window);
    Find<QDoubleSpinBox>(window, "spnXGrid")->setValue(600);
    EXPECT_TRUE(ok->isEnabled());

    Find<QDoubleSpinBox>(window, "spnYmax_3")->setValue(100000);
    Find<QDoubleSpinBox>(window, "spnYGrid_3")->setValue(1);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(problem->text().startsWith("Sensor Rates - Y Axis: "));
    ok->click();  // disabled: nothing happens
    EXPECT_EQ(rig.graphs.Axes(4).YMax, 20);
    Find<QDoubleSpinBox>(window, "spnYGrid_3")->setValue(1000);
    ok->click();
    EXPECT_EQ(rig.graphs.Axes(4).YMax, 100000);
    EXPECT_EQ(rig.graphs.Axes(1).XWide, 86400);
}

}  // namespace
}  // namespace delvar::windows
