// "Configure Graph": the value axis of each graph and the time axis all four share.
// OK applies every frame to the graphs; Cancel changes nothing.
#pragma once

#include <QDialog>
#include <array>

#include "monitor/ChartControl.h"

class QCheckBox;
class QSpinBox;

namespace delvar::monitor {
class Graphs;
}

namespace delvar::windows {

class frmGraphSet : public QDialog {
    Q_OBJECT
  public:
    explicit frmGraphSet(monitor::Graphs& graphs, QWidget* parent = nullptr);

  private:
    struct YFrame {
        QSpinBox* min;
        QSpinBox* max;
        QSpinBox* div;
        QCheckBox* grid;
    };
    void Apply();

    monitor::Graphs& graphs_;
    std::array<monitor::GraphAxes, 4> shown_;  // the axes as the window opened
    std::array<YFrame, 4> y_;
    QSpinBox* interval_;
    QSpinBox* xDiv_;
    QCheckBox* xGrid_;
};

}  // namespace delvar::windows
