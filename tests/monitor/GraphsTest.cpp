// The strip-chart logic over fake charts: what each chart is given to draw.
#include <gtest/gtest.h>

#include <cmath>

#include "monitor/Graphs.h"
#include "support/FakeCharts.h"

namespace delvar::monitor {
namespace {

using testing::FakeChart;

// A run as the main window drives it: store, plot, advance, once a tick.
struct GraphsRig {
    GraphsRig() {
        for (int s = 0; s < 4; ++s) {
            r.outputs[s] = {5.0 + s, 1.0, 0.1, 40.0};
            r.sensors[s] = {6.0 + s, 0.2, 5.9e6};
        }
    }
    void Start() {
        graphs.InitGraph(r, Clock());
        graphs.AdvancePoint();
    }
    void Tick(double step = 1) {
        now += step;
        graphs.UpdateGraph(r, Clock());
        graphs.AdvancePoint();
    }
    double Clock() const { return std::fmod(now, 86400); }  // seconds since midnight
    std::array<FakeChart, 4> charts;
    Graphs graphs{{&charts[0], &charts[1], &charts[2], &charts[3]}};
    commands::RunReadings r;
    double now = 36000;
};

TEST(Graphs, RestartDrawsItsFirstPointOneTickLateAtTimeZero) {
    GraphsRig rig;
    rig.Start();
    for (int i = 0; i < 70; ++i) rig.Tick();
    ASSERT_GT(rig.charts[0].axes.XMin, 0);

    rig.now = 86399;  // a new run starts just before midnight
    rig.Start();
    EXPECT_TRUE(rig.charts[0].points.empty());
    EXPECT_EQ(rig.charts[0].axes.XMin, 0);
    rig.Tick();
    ASSERT_EQ(rig.charts[0].points.size(), 1u);
    EXPECT_EQ(rig.charts[0].points[0].x, 0);  // the time of this run, not the last one
    rig.Tick();                               // the clock went back to 0 at midnight
    EXPECT_EQ(rig.charts[0].points.back().x, 1);
}

TEST(Graphs, ValuesBeyondTheValueAxisAreDrawnOnItsEdges) {
    GraphsRig rig;
    rig.graphs.SetYAxis(1, 0, 20, 2, true);
    rig.r.outputs[0].Rate = 35;
    rig.r.outputs[1].Rate = -3;
    rig.Start();
    rig.Tick();
    const ChartSample& drawn = rig.charts[0].points.at(0);
    EXPECT_EQ(drawn.y[0], 20);
    EXPECT_EQ(drawn.y[1], 0);
    EXPECT_EQ(drawn.y[2], 7);
}

TEST(Graphs, OutputNotInUseLeavesHolesOnTheOutputGraphsOnly) {
    GraphsRig rig;
    rig.Start();
    rig.Tick();
    rig.r.outputs[3].Power = -1;  // output 4 goes out of use
    rig.Tick();
    rig.Tick();
    rig.r.outputs[3].Power = 30;  // back in use
    rig.Tick();
    rig.Tick();
    for (int g = 0; g < 4; ++g) {
        rig.graphs.SetDisplay(g);
        const auto& points = rig.charts[g].points;
        ASSERT_EQ(points.size(), 5u) << g;
        // A hole from the tick the output goes out of use (the power of the latest
        // readings decides) to the last point read while it was out of use.
        EXPECT_TRUE(points[0].y[3]) << g;
        for (int i : {1, 2, 3}) EXPECT_EQ(bool(points[i].y[3]), g == 3) << g << " at " << i;
        EXPECT_TRUE(points[4].y[3]) << g;
        EXPECT_TRUE(points[1].y[2]) << g;
    }
}

TEST(Graphs, HiddenChartIsLoadedInOneReplaceAndShowsTheSamePicture) {
    GraphsRig hidden, shown;
    shown.graphs.SetDisplay(2);
    for (GraphsRig* rig : {&hidden, &shown}) {
        rig->Start();
        for (int i = 0; i < 90; ++i) rig->Tick(0.5 + (i % 3) * 0.25);
    }
    EXPECT_EQ(hidden.charts[2].appends, 0);
    int replaces = hidden.charts[2].replaces;
    hidden.graphs.SetDisplay(2);
    EXPECT_EQ(hidden.charts[2].replaces, replaces + 1);
    EXPECT_EQ(hidden.charts[2].points, shown.charts[2].points);
    EXPECT_EQ(hidden.charts[2].axes, shown.charts[2].axes);
    EXPECT_TRUE(hidden.charts[2].visible);
    EXPECT_FALSE(hidden.charts[0].visible);
}

TEST(Graphs, TimeAxisScrollsToPutTheNewestPointAtThreeQuarters) {
    GraphsRig rig;
    rig.Start();
    for (int i = 0; i < 60; ++i) rig.Tick();  // points 0..59 s drawn
    EXPECT_EQ(rig.charts[0].axes.XMin, 0);
    rig.Tick();  // the point at 60 s
    EXPECT_EQ(rig.charts[0].axes.XMin, 15);
    EXPECT_EQ(rig.charts[0].axes.XWide, 60);
    for (int i = 0; i < 14; ++i) rig.Tick();  // up to 74 s
    EXPECT_EQ(rig.charts[0].axes.XMin, 15);
    rig.Tick();  // 75 s
    EXPECT_EQ(rig.charts[0].axes.XMin, 30);
    for (int g = 1; g <= 4; ++g) EXPECT_EQ(rig.graphs.Axes(g).XMin, 30) << g;

    rig.graphs.SetXAxis(50, 10, true);  // the right end moves to 80 s
    for (int i = 0; i < 5; ++i) rig.Tick();
    EXPECT_EQ(rig.charts[0].axes.XMin, 42);  // 80 s - 37.5 s, half to even
}

TEST(Graphs, PlottingGoesOnWithoutABreakWhenTheBufferWraps) {
    for (double wide : {60.0, 3600.0}) {  // rebuilt from the axis' left end, or held full
        GraphsRig rig;
        rig.graphs.SetXAxis(wide, 10, true);
        rig.Start();
        for (int i = 0; i < 1234; ++i) rig.Tick(0.5);
        EXPECT_TRUE(rig.graphs.Wrapped());
        EXPECT_EQ(rig.graphs.CurrentPoint(), 1236 - 1000);
        const auto& points = rig.charts[0].points;
        ASSERT_LE(points.size(), 500u);
        EXPECT_EQ(points.back().x, 1233 * 0.5);
        if (wide == 60) {
            EXPECT_LE(points.front().x, rig.charts[0].axes.XMin);
        }
        for (std::size_t i = 1; i < points.size(); ++i)
            ASSERT_EQ(points[i].x - points[i - 1].x, 0.5) << wide << " at " << i;
    }
}

TEST(Graphs, SetupEntryRoundTripsAndPartialEntriesKeepTheRest) {
    GraphsRig rig;
    const std::string entry = "XMax=120;XDiv=20;XGrd=0;YMax=5.5;YMin=-5;YDiv=0.5;YGrd=1;";
    rig.graphs.LoadSetup(2, entry);
    EXPECT_EQ(rig.graphs.SetupEntry(2), entry);
    EXPECT_EQ(rig.graphs.Axes(2), (GraphAxes{0, 120, 20, false, -5, 5.5, 0.5, true}));

    rig.graphs.LoadSetup(1, "YMax=30;XGrd=7;XMax=abc;YDiv=0;XDiv=-3;junk;");
    EXPECT_EQ(rig.graphs.SetupEntry(1), "XMax=60;XDiv=10;XGrd=0;YMax=30;YMin=0;YDiv=2;YGrd=1;");

    rig.Start();
    for (int i = 0; i < 70; ++i) rig.Tick();
    rig.graphs.LoadSetup(3, "XMax=90;");  // a new width starts the axis at 0
    EXPECT_EQ(rig.graphs.Axes(3).XMin, 0);
    rig.graphs.LoadSetup(2, "");  // back to the look
    EXPECT_EQ(rig.graphs.Axes(2), rig.charts[1].loaded);

    rig.graphs.LoadSetup(5, entry);
    EXPECT_EQ(rig.graphs.SetupEntry(0), "");
}

TEST(Graphs, DisplayOutsideTheGraphsIsStoredOnly) {
    GraphsRig rig;
    rig.graphs.SetDisplay(2);
    for (int n : {7, -1}) {
        rig.graphs.SetDisplay(n);
        EXPECT_EQ(rig.graphs.Display(), n);
        for (int g = 0; g < 4; ++g) EXPECT_EQ(rig.charts[g].visible, g == 2) << g;
    }
}

}  // namespace
}  // namespace delvar::monitor
