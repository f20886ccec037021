// Window positions on Qt: the position rules over any top-level widget, and the
// stay-on-top switch.
#pragma once

#include <QWidget>

#include "app/FormPositions.h"

namespace delvar::windows {

// A widget as the position rules see it: its object name, outer position and inner
// size, state, whether the user can resize it, and the screens' available areas.
class QtFormWindow final : public app::FormWindow {
  public:
    explicit QtFormWindow(QWidget& w) : w_(w) {}
    std::string Name() const override;
    app::Rect Geometry() const override;
    void SetGeometry(const app::Rect& r) override;
    int State() const override;
    void SetState(int state) override;
    bool FixedBorder() const override;
    std::vector<app::Rect> Screens() const override;

  private:
    QWidget& w_;
};

// Keeps w above all other windows (on) or ends that, without moving or resizing it.
void SetTopmost(QWidget& w, bool on);

}  // namespace delvar::windows
