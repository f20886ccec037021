// The look of one strip chart (title, colours, series names, line width, legend and
// the axes it starts with), kept in a small text file of our own under the ".OC2"
// names. The file starts with the line "DelvarChartLook 1"; then "key = value" lines,
// "#" starts a comment. Colours are "#rrggbb"; a series is "name | #rrggbb".
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "monitor/ChartControl.h"
#include "monitor/RunDisplay.h"

namespace delvar::monitor {

enum class LegendPlace { kNone, kTop, kBottom, kLeft, kRight };

struct SeriesLook {
    std::string name;
    Rgb colour;
};

struct ChartLook {
    std::string title;
    Rgb background{16, 20, 24};
    Rgb plotArea{4, 7, 10};
    Rgb text{216, 221, 226};
    Rgb grid{38, 44, 50};
    Rgb axis{112, 120, 128};
    int fontSize = 9;      // points
    double lineWidth = 2;  // pixels
    LegendPlace legend = LegendPlace::kBottom;
    std::array<SeriesLook, 4> series;
    GraphAxes axes;
};

// Configuration file names of graphs 0..3 (rate, deviation, power, sensor rate).
inline constexpr std::array<const char*, 4> kChartLookFiles = {"AVG_DEP.OC2", "DEV_DEP.OC2",
                                                               "PWR_DEP.OC2", "CH_DEP.OC2"};

// The built-in look of graph 0..3, used when its file is missing or refused.
ChartLook DefaultLook(int graph);

// Takes every well-formed line of text into look; false (look untouched) when text
// is not a chart look or its axes cannot be drawn (AxesProblem). Unknown keys and
// values that are no number are skipped.
bool ParseChartLook(std::string_view text, ChartLook& look);

}  // namespace delvar::monitor
