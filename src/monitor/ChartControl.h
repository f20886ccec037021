// What a strip chart needs of the chart that draws it: four series of points with
// holes, a time axis and a value axis, visibility and deferred redraw. The Qt Charts
// adapter lives in windows/; tests use a fake.
#pragma once

#include <array>
#include <optional>
#include <span>

namespace delvar::monitor {

// Axis properties of one graph. The time axis runs from XMin to XMin + XWide seconds.
struct GraphAxes {
    double XMin = 0;
    double XWide = 60;
    double XDiv = 10;  // time grid spacing, s
    bool XGrid = true;
    double YMin = 0;
    double YMax = 100;
    double YDiv = 10;  // value grid spacing
    bool YGrid = true;
    bool operator==(const GraphAxes&) const = default;
};

// One time point of the four series; an empty value is a hole (the series is not
// drawn there, and its line breaks).
struct ChartSample {
    double x = 0;
    std::array<std::optional<double>, 4> y;
    bool operator==(const ChartSample&) const = default;
};

class ChartControl {
  public:
    virtual ~ChartControl() = default;
    // Adds points after the ones the series hold and draws only them.
    virtual void AppendPoints(std::span<const ChartSample> points) = 0;
    // Replaces everything the series hold.
    virtual void ReplacePoints(std::span<const ChartSample> points) = 0;
    // Time axis XMin .. XMin + XWide and value axis YMin .. YMax, grid spacings and lines.
    virtual void SetAxes(const GraphAxes& axes) = 0;
    virtual void SetVisible(bool visible) = 0;
    // While on, changes are collected and drawn once when it is switched off.
    virtual void SetBatch(bool on) = 0;
    // The axes as the chart's look defines them (its own defaults when no look loaded).
    virtual GraphAxes LoadedAxes() const = 0;
};

}  // namespace delvar::monitor
