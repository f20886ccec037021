// The monitor's wall clock on Qt: local time, the locale's short date.
#pragma once

#include "monitor/WallClock.h"

namespace delvar::windows {

class QtWallClock final : public monitor::WallClock {
  public:
    double SecondsSinceMidnight() const override;
    std::string DateText() const override;
    std::string TimeText() const override;
};

}  // namespace delvar::windows
