// The four strip charts of the main window in one place, one shown at a time (the
// graphs logic decides which).
#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "monitor/ChartControl.h"

namespace delvar::windows {

class QtChartControl;

class GraphArea : public QWidget {
    Q_OBJECT
  public:
    explicit GraphArea(QWidget* parent = nullptr);
    ~GraphArea() override;

    // AverageGraph, DevGraph, PowerGraph, ChannelGraph.
    std::array<monitor::ChartControl*, 4> Charts();
    QtChartControl& Chart(int graph) { return *charts_[graph]; }  // graph 0..3

    // Reads the four chart looks ("AVG_DEP.OC2" ...) from folder. A missing or refused
    // file leaves that chart as it was. Load before the graphs are built: they take
    // their axes from the looks; a later load changes only colours and texts.
    void LoadLooks(const std::string& folder);

  private:
    std::array<std::unique_ptr<QtChartControl>, 4> charts_;
};

}  // namespace delvar::windows
