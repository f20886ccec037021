// The cell texts of the sensor readings table: a heading row and column, then per
// sensor its rate, thickness and crystal frequency.
#pragma once

#include <array>
#include <string>

#include "commands/RunReadings.h"

namespace delvar::monitor {

inline constexpr int kReadingsRows = 5;     // headings + sensors 1..4
inline constexpr int kReadingsColumns = 4;  // headings + rate, thickness, frequency

// Heading of cell (row, column): the top row and the left column; "" elsewhere.
std::string ReadingsHeading(int row, int column);

// Value text of cell (row 1..4, column 1..3): rate "#.0", thickness "#0.000",
// frequency "#0.00" or "Fail" when it is exactly 0 (a failed crystal); "" elsewhere.
std::string ReadingsValue(const std::array<commands::SensorReading, 4>& sensors, int row,
                          int column);

}  // namespace delvar::monitor
