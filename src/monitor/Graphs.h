// The four strip charts of the main window: output rate, deviation and power and
// sensor rate against the time since the graphs started. Plain C++ over a small
// chart interface; the Qt Charts adapter lives in windows/.
//
// The readings of the last 500 ticks are kept in a ring buffer. Each tick stores the
// current point and plots the points stored since the last plot, so a point shows one
// tick after it was stored. Only the shown chart is drawn to; a hidden chart keeps its
// points here and gets them in one replace when it is shown.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "commands/RunReadings.h"
#include "monitor/ChartControl.h"

namespace delvar::monitor {

inline constexpr int kGraphPoints = 500;  // points a buffer and a chart's series hold

class Graphs {
  public:
    // AverageGraph, DevGraph, PowerGraph, ChannelGraph, in this order; none may be null.
    // Each takes the axes of its chart's look; chart 0 is shown.
    explicit Graphs(std::array<ChartControl*, 4> charts);

    // Restart: empty buffers and charts, point counters 1, time axes from 0, start time
    // = now (s); stores the first point, which is drawn on the next update.
    void InitGraph(const commands::RunReadings& r, double now);
    // Stores r at the current point (time = now - start time) and plots what is new.
    void UpdateGraph(const commands::RunReadings& r, double now);
    // The next update stores at the next point; after 500 back to 1.
    void AdvancePoint();

    // Stores n; 0..3 shows chart n and hides the others, other values change nothing.
    void SetDisplay(int n);
    int Display() const { return display_; }

    // graph 1..4: the per-user set-up entry. Takes each tag present; an empty entry,
    // or one that gives axes that cannot be drawn (false), puts back the axes of the
    // chart's look.
    bool LoadSetup(int graph, const std::string& entry);
    std::string SetupEntry(int graph) const;  // "" for a graph outside 1..4

    // Axes of graph 1..4 (defaults outside); the value axis of one graph; the time axis
    // of all four (its left end stays). Axes that cannot be drawn are refused (false,
    // nothing changed).
    GraphAxes Axes(int graph) const;
    bool SetYAxis(int graph, double min, double max, double div, bool grid);
    bool SetXAxis(double wide, double div, bool grid);

    int CurrentPoint() const { return current_; }
    bool Wrapped() const { return wrapped_; }

  private:
    struct Stored {
        double time = 0;
        std::array<commands::OutputReading, 4> outputs;
        std::array<commands::SensorReading, 4> sensors;
    };
    struct Graph {
        ChartControl* chart = nullptr;
        GraphAxes axes;
        std::vector<ChartSample> points;  // what the chart's series hold, oldest first
        bool shown = false;
        bool stale = false;  // hidden and behind: points or axes changed meanwhile
    };

    void PlotData(int count, int first, const commands::RunReadings& current);
    void Plot(int graph, std::span<const int> indexes, const commands::RunReadings& current);
    ChartSample Sample(int graph, const Stored& stored, const commands::RunReadings& current) const;
    void ShowAxes(Graph& graph);
    void ShowAll(Graph& graph);
    double Elapsed(double now);
    Graph* Find(int graph);

    std::array<Stored, kGraphPoints> buffer_{};
    std::array<Graph, 4> graphs_;
    int current_ = 1;      // buffer index (1..500) the next readings are stored at
    int lastPlotted_ = 1;  // buffer index the next plotting starts from
    bool wrapped_ = false;
    double start_ = 0;        // clock when the graphs were started, s
    double dayOffset_ = 0;    // 86400 per midnight passed since the start
    double lastElapsed_ = 0;  // time of the last stored point
    int display_ = 0;
};

}  // namespace delvar::monitor
