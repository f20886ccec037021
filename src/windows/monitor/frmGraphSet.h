// "Configure Graph": the value axis of each graph and the time axis all four share.
// A value nobody changed stays as it was; OK applies the frames to the graphs and is
// disabled, with the reason shown, while they give axes that cannot be drawn. Cancel
// changes nothing.
#pragma once

#include <QDialog>
#include <array>

#include "monitor/ChartControl.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace delvar::monitor {
class Graphs;
}

namespace delvar::windows {

class frmGraphSet : public QDialog {
    Q_OBJECT
  public:
    explicit frmGraphSet(monitor::Graphs& graphs, QWidget* parent = nullptr);

  private:
    // A spinner over one axis value: it shows the value in force, and while its shown
    // value is not changed, that exact value is kept.
    struct Field {
        QDoubleSpinBox* spin = nullptr;
        double inForce = 0;
        double shown = 0;
        double Taken() const;
    };
    struct YFrame {
        Field min, max, div;
        QCheckBox* grid = nullptr;
    };
    QWidget* BuildYFrame(int graph);
    QWidget* BuildXFrame();
    // The axes graph 0..3 would get from the frames.
    monitor::GraphAxes Proposed(int graph) const;
    void Check();  // shows what stops OK, if anything
    void Apply();

    monitor::Graphs& graphs_;
    std::array<monitor::GraphAxes, 4> shown_;  // the axes as the window opened
    std::array<YFrame, 4> y_;
    Field interval_, xDiv_;
    QCheckBox* xGrid_ = nullptr;
    QLabel* lblProblem_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
};

}  // namespace delvar::windows
