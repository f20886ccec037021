// Charts that hold what a real chart would show, for the graph and main-window tests.
#pragma once

#include <array>
#include <vector>

#include "monitor/ChartControl.h"

namespace delvar::testing {

struct FakeChart final : monitor::ChartControl {
    void AppendPoints(std::span<const monitor::ChartSample> p) override {
        points.insert(points.end(), p.begin(), p.end());
        ++appends;
    }
    void ReplacePoints(std::span<const monitor::ChartSample> p) override {
        points.assign(p.begin(), p.end());
        ++replaces;
        if (p.empty()) ++clears;
    }
    void SetAxes(const monitor::GraphAxes& a) override { axes = a; }
    void SetVisible(bool v) override { visible = v; }
    void SetBatch(bool) override {}
    monitor::GraphAxes LoadedAxes() const override { return loaded; }

    std::vector<monitor::ChartSample> points;
    monitor::GraphAxes axes, loaded{0, 60, 10, true, 0, 20, 2, true};
    bool visible = true;
    int appends = 0, replaces = 0, clears = 0;
};

struct FakeCharts {
    std::array<FakeChart, 4> charts;
    std::array<monitor::ChartControl*, 4> Pointers() {
        return {&charts[0], &charts[1], &charts[2], &charts[3]};
    }
    int Restarts() const { return charts[0].clears; }  // the shown chart emptied
};

}  // namespace delvar::testing
