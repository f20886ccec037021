#include "monitor/Graphs.h"

#include <algorithm>
#include <cmath>

#include "monitor/GraphSetup.h"
#include "util/Text.h"

namespace delvar::monitor {

namespace {

constexpr double kDay = 86400;  // s; the clock counts seconds since midnight

GraphAxes WithXAxis(GraphAxes axes, double wide, double div, bool grid) {
    axes.XWide = wide;
    axes.XDiv = div;
    axes.XGrid = grid;
    return axes;
}

}  // namespace

Graphs::Graphs(std::array<ChartControl*, 4> charts) {
    for (int g = 0; g < 4; ++g) {
        graphs_[g].chart = charts[g];
        graphs_[g].axes = charts[g]->LoadedAxes();
        graphs_[g].stale = true;
    }
    SetDisplay(0);
}

void Graphs::InitGraph(const commands::RunReadings& r, double now) {
    buffer_.fill(Stored{});
    current_ = lastPlotted_ = 1;
    wrapped_ = false;
    start_ = now;  // before the first point is stored, so it carries this run's time
    dayOffset_ = lastElapsed_ = 0;
    for (Graph& graph : graphs_) {
        graph.axes.XMin = 0;
        graph.points.clear();
        ShowAll(graph);
    }
    UpdateGraph(r, now);
}

void Graphs::UpdateGraph(const commands::RunReadings& r, double now) {
    Stored& stored = buffer_[current_ - 1];
    stored.time = Elapsed(now);
    stored.outputs = r.outputs;
    stored.sensors = r.sensors;
    int p = current_;
    if (p == lastPlotted_) return;
    if (p < lastPlotted_) {  // the buffer wrapped: its end, then its start up to p
        PlotData(kGraphPoints - lastPlotted_ + 1, lastPlotted_, r);
        PlotData(p - 1, 1, r);
    } else {
        PlotData(p - lastPlotted_, lastPlotted_, r);
    }
    lastPlotted_ = p;
}

void Graphs::AdvancePoint() {
    if (++current_ > kGraphPoints) {
        current_ = 1;
        wrapped_ = true;
    }
}

void Graphs::SetDisplay(int n) {
    display_ = n;
    if (n < 0 || n > 3) return;
    for (int g = 0; g < 4; ++g) {
        Graph& graph = graphs_[g];
        graph.shown = g == n;
        if (graph.shown && graph.stale) ShowAll(graph);
        graph.chart->SetVisible(graph.shown);
    }
}

bool Graphs::LoadSetup(int graph, const std::string& entry) {
    Graph* found = Find(graph);
    if (!found) return false;
    GraphAxes taken = found->axes;
    ApplySetupEntry(entry, taken);
    const bool usable = AxesProblem(taken).empty();
    found->axes = !entry.empty() && usable ? taken : found->chart->LoadedAxes();
    ShowAxes(*found);
    return entry.empty() || usable;
}

std::string Graphs::SetupEntry(int graph) const {
    return graph >= 1 && graph <= 4 ? SetupEntryText(graphs_[graph - 1].axes) : "";
}

GraphAxes Graphs::Axes(int graph) const {
    return graph >= 1 && graph <= 4 ? graphs_[graph - 1].axes : GraphAxes{};
}

bool Graphs::SetYAxis(int graph, double min, double max, double div, bool grid) {
    Graph* found = Find(graph);
    if (!found) return false;
    GraphAxes axes = found->axes;
    axes.YMin = min;
    axes.YMax = max;
    axes.YDiv = div;
    axes.YGrid = grid;
    if (!AxesProblem(axes).empty()) return false;
    found->axes = axes;
    ShowAxes(*found);
    return true;
}

bool Graphs::SetXAxis(double wide, double div, bool grid) {
    for (const Graph& graph : graphs_)
        if (!AxesProblem(WithXAxis(graph.axes, wide, div, grid)).empty()) return false;
    for (Graph& graph : graphs_) {
        graph.axes = WithXAxis(graph.axes, wide, div, grid);
        ShowAxes(graph);
    }
    return true;
}

void Graphs::PlotData(int count, int first, const commands::RunReadings& current) {
    if (count <= 0) return;
    std::vector<int> indexes(count);
    for (int i = 0; i < count; ++i) indexes[i] = first + i;
    for (int g = 0; g < 4; ++g) Plot(g, indexes, current);
}

void Graphs::Plot(int g, std::span<const int> indexes, const commands::RunReadings& current) {
    Graph& graph = graphs_[g];
    std::vector<ChartSample> added;
    for (int i : indexes) added.push_back(Sample(g, buffer_[i - 1], current));

    // Rollover: the series are full, so keep only what lies from the left end of the
    // time axis on (and never more than room is left for the new points).
    bool rebuilt = false;
    std::size_t room = kGraphPoints - std::min<std::size_t>(added.size(), kGraphPoints);
    if (graph.points.size() > room) {
        auto visible = std::find_if(graph.points.begin(), graph.points.end(),
                                    [&](const ChartSample& s) { return s.x >= graph.axes.XMin; });
        std::size_t drop =
            std::max<std::size_t>(visible - graph.points.begin(), graph.points.size() - room);
        graph.points.erase(graph.points.begin(), graph.points.begin() + drop);
        rebuilt = true;
    }
    graph.points.insert(graph.points.end(), added.begin(), added.end());

    // Scrolling: a point at or past the right end puts the newest point at 3/4 width.
    bool scrolled = false;
    for (const ChartSample& s : added) {
        if (s.x >= graph.axes.XMin + graph.axes.XWide) {
            graph.axes.XMin = util::RoundHalfEven(s.x - 0.75 * graph.axes.XWide);
            scrolled = true;
        }
    }

    if (!graph.shown) {
        graph.stale = true;
    } else if (rebuilt) {
        ShowAll(graph);
    } else {
        graph.chart->AppendPoints(added);
        if (scrolled) graph.chart->SetAxes(graph.axes);
    }
}

ChartSample Graphs::Sample(int g, const Stored& stored,
                           const commands::RunReadings& current) const {
    const GraphAxes& axes = graphs_[g].axes;
    ChartSample sample;
    sample.x = stored.time;
    for (int s = 0; s < 4; ++s) {
        // Output graphs leave a hole for an output that is not in use now, or was not
        // when the point was read (its reading then means nothing).
        if (g < 3 && (current.outputs[s].Power < 0 || stored.outputs[s].Power < 0)) continue;
        const commands::OutputReading& out = stored.outputs[s];
        double y = g == 0   ? out.Rate
                   : g == 1 ? out.Deviation
                   : g == 2 ? out.Power
                            : stored.sensors[s].Rate;
        if (!std::isfinite(y)) continue;
        if (y > axes.YMax) y = axes.YMax;
        if (y < axes.YMin) y = axes.YMin;
        sample.y[s] = y;
    }
    return sample;
}

void Graphs::ShowAxes(Graph& graph) {
    if (graph.shown)
        graph.chart->SetAxes(graph.axes);
    else
        graph.stale = true;
}

void Graphs::ShowAll(Graph& graph) {
    if (!graph.shown) {
        graph.stale = true;
        return;
    }
    graph.chart->SetBatch(true);
    graph.chart->ReplacePoints(graph.points);
    graph.chart->SetAxes(graph.axes);
    graph.chart->SetBatch(false);
    graph.stale = false;
}

double Graphs::Elapsed(double now) {
    // The clock restarts at midnight; a time far below the last one means a day passed.
    double elapsed = now - start_ + dayOffset_;
    if (elapsed < lastElapsed_ - kDay / 2) {
        dayOffset_ += kDay;
        elapsed += kDay;
    }
    lastElapsed_ = elapsed;
    return elapsed;
}

Graphs::Graph* Graphs::Find(int graph) {
    return graph >= 1 && graph <= 4 ? &graphs_[graph - 1] : nullptr;
}

}  // namespace delvar::monitor
