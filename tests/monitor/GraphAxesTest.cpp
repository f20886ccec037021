// Axis values from files a user edits (chart looks, per-user set-ups) and from the
// graph settings window: huge, tiny, zero, negative and non-finite values never give
// an axis that cannot be drawn; such a look or set-up is refused whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/ChartLook.h"
#include "monitor/GraphSetup.h"
#include "monitor/Graphs.h"
#include "support/FakeCharts.h"

namespace delvar::monitor {
namespace {

// Axes that are drawn with a bounded number of grid lines.
void ExpectDrawable(const GraphAxes& a, const std::string& what) {
    EXPECT_EQ(AxesProblem(a), "") << what;
    EXPECT_LE(a.XWide / a.XDiv, kMaxAxisLines) << what;
    EXPECT_LE((a.YMax - a.YMin) / a.YDiv, kMaxAxisLines) << what;
}

// Axis lines whose values together cannot be drawn (each alone is a number).
const std::vector<std::string> kUndrawableLooks = {
    "x_min = 2e17",                   // the time labels no longer move on
    "x_min = -2e17",                  //
    "x_wide = 1e300",                 // huge
    "x_wide = 1e-300",                // tiny
    "x_div = 1e-300",                 // countless grid lines
    "x_wide = 86400\nx_div = 1",      //
    "y_div = 1e-9",                   //
    "y_min = -1e300\ny_max = 1e300",  // the span overflows
    "y_max = -5",                     // below the minimum of 0
    "y_min = 20",                     // equal to the maximum
    "y_min = 1e15\ny_max = 1.0000000000000002e15",
};

TEST(GraphAxes, LooksWhoseAxesCannotBeDrawnAreRefusedWhole) {
    for (const std::string& lines : kUndrawableLooks) {
        ChartLook look = DefaultLook(0);
        EXPECT_FALSE(ParseChartLook("DelvarChartLook 1\ntitle = Changed\n" + lines + "\n", look))
            << lines;
        EXPECT_EQ(look.title, DefaultLook(0).title) << lines;  // the defaults stay
        EXPECT_EQ(look.axes, DefaultLook(0).axes) << lines;
    }
    // Values that are no finite number, zero or negative widths are skipped alone.
    for (const char* line : {"x_min = nan", "x_wide = inf", "y_max = 1e309", "x_div = 0",
                             "x_wide = -60", "y_div = -2", "y_min = -inf"}) {
        ChartLook look = DefaultLook(0);
        EXPECT_TRUE(ParseChartLook(std::string("DelvarChartLook 1\ntitle = T\n") + line, look))
            << line;
        EXPECT_EQ(look.title, "T");
        ExpectDrawable(look.axes, line);
    }
}

TEST(GraphAxes, SetupsWhoseAxesCannotBeDrawnGiveTheLooksAxes) {
    const std::vector<std::string> refused = {
        "XMax=1e300;", "XMax=1e-300;",      "XMax=0.5;",      "XDiv=1e-300;",
        "YDiv=1e-9;",  "YMax=-1;",          "YMin=5;YMax=5;", "YMin=-1e300;YMax=1e300;",
        "YMax=2e9;",   "XMax=86400;XDiv=1;"};
    for (const std::string& entry : refused) {
        testing::FakeCharts charts;
        Graphs graphs(charts.Pointers());
        graphs.LoadSetup(1, "YMax=50;YDiv=5;");  // in force until the bad entry
        EXPECT_FALSE(graphs.LoadSetup(1, entry)) << entry;
        EXPECT_EQ(graphs.Axes(1), charts.charts[0].loaded) << entry;
        EXPECT_EQ(charts.charts[0].axes, charts.charts[0].loaded) << entry;
    }
    // Values that are no number, or not above 0 where they must be, are skipped alone.
    for (const char* entry :
         {"XMax=nan;", "XMax=inf;YMax=1e309;", "XDiv=0;YDiv=-1;", "XMax=-60;", "YMin=-inf;"}) {
        testing::FakeCharts charts;
        Graphs graphs(charts.Pointers());
        EXPECT_TRUE(graphs.LoadSetup(2, entry)) << entry;
        ExpectDrawable(graphs.Axes(2), entry);
    }
}

TEST(GraphAxes, SettingsThatCannotBeDrawnChangeNoGraph) {
    testing::FakeCharts charts;
    Graphs graphs(charts.Pointers());
    const GraphAxes before = graphs.Axes(3);
    EXPECT_FALSE(graphs.SetYAxis(3, 0, 100000, 1, true));  // 100000 grid lines
    EXPECT_FALSE(graphs.SetYAxis(3, 10, 10, 1, true));
    EXPECT_FALSE(graphs.SetYAxis(3, 0, 1e300 * 10, 1, true));
    EXPECT_FALSE(graphs.SetXAxis(86400, 1, true));
    EXPECT_FALSE(graphs.SetXAxis(0, 1, true));
    for (int g = 1; g <= 4; ++g) ExpectDrawable(graphs.Axes(g), std::to_string(g));
    EXPECT_EQ(graphs.Axes(3), before);
    EXPECT_TRUE(graphs.SetYAxis(3, -0.5, 0.5, 0.01, false));
    EXPECT_TRUE(graphs.SetXAxis(3600, 10, true));
    EXPECT_EQ(graphs.Axes(3).YDiv, 0.01);
    EXPECT_EQ(charts.charts[0].axes.XWide, 3600);
}

}  // namespace
}  // namespace delvar::monitor
