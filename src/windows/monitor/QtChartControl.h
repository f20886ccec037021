// A strip chart drawn by Qt Charts: four traces in one QChartView over a time axis
// labelled h:mm:ss and a value axis. A trace with holes is drawn as several line
// series, one per unbroken run of points, so a hole shows as a gap.
#pragma once

#include <QPen>
#include <array>
#include <vector>

#include "monitor/ChartControl.h"
#include "monitor/ChartLook.h"

class QWidget;
class QChart;
class QChartView;
class QLineSeries;
class QCategoryAxis;
class QValueAxis;

namespace delvar::windows {

class QtChartControl final : public monitor::ChartControl {
  public:
    // graph 0..3 names the view (AverageGraph, DevGraph, PowerGraph, ChannelGraph) and
    // gives its built-in look.
    QtChartControl(int graph, QWidget* parent);

    QChartView* View() const { return view_; }
    // Colours, title, names and legend; the look's axes until a graph sets its own.
    void ApplyLook(const monitor::ChartLook& look);
    // The line series of trace s (0..3) that hold points, oldest run first.
    std::vector<QLineSeries*> Runs(int s) const;

    void AppendPoints(std::span<const monitor::ChartSample> points) override;
    void ReplacePoints(std::span<const monitor::ChartSample> points) override;
    void SetAxes(const monitor::GraphAxes& axes) override;
    void SetVisible(bool visible) override;
    void SetBatch(bool on) override;
    monitor::GraphAxes LoadedAxes() const override { return loaded_; }

  private:
    struct Trace {
        std::vector<QLineSeries*> runs;  // run 0 stands in the legend; others are spares
        std::size_t used = 0;            // runs holding points
        bool open = false;               // the last point given was drawn, not a hole
    };
    QLineSeries* Run(int s, std::size_t index);
    void ApplyAxes(const monitor::GraphAxes& axes);

    QChart* chart_;
    QChartView* view_;
    QCategoryAxis* xAxis_;
    QValueAxis* yAxis_;
    std::array<Trace, 4> traces_;
    std::array<QPen, 4> pens_;
    monitor::GraphAxes loaded_;
    bool axesSet_ = false;  // a graph has set the axes; a later look leaves them
};

}  // namespace delvar::windows
