// The wall clock of the run-time monitor: seconds since midnight for graph and log
// times, and the date and time texts of the log's start and end lines.
#pragma once

#include <string>

namespace delvar::monitor {

class WallClock {
  public:
    virtual ~WallClock() = default;
    virtual double SecondsSinceMidnight() const = 0;
    virtual std::string DateText() const = 0;  // the system's short date format
    virtual std::string TimeText() const = 0;  // h:mm:ss, hours not padded
};

// A clock tests set by hand.
class ManualClock final : public WallClock {
  public:
    double SecondsSinceMidnight() const override { return seconds; }
    std::string DateText() const override { return date; }
    std::string TimeText() const override { return time; }
    double seconds = 0;
    std::string date = "07/12/2026";
    std::string time = "10:00:00";
};

}  // namespace delvar::monitor
