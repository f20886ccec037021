#include "monitor/ReadingsTable.h"

#include "util/Format.h"

namespace delvar::monitor {

namespace {
constexpr std::array<const char*, kReadingsColumns> kColumnHeadings = {
    "", "Rate (A/s) ", "Thick (kA) ", "Freq. (Hz) "};
}

std::string ReadingsHeading(int row, int column) {
    if (row == 0 && column >= 0 && column < kReadingsColumns)
        return kColumnHeadings[static_cast<std::size_t>(column)];
    if (column == 0 && row >= 1 && row < kReadingsRows) return "Sensor " + std::to_string(row);
    return {};
}

std::string ReadingsValue(const std::array<commands::SensorReading, 4>& sensors, int row,
                          int column) {
    if (row < 1 || row >= kReadingsRows) return {};
    const commands::SensorReading& s = sensors[static_cast<std::size_t>(row - 1)];
    switch (column) {
        case 1:
            return util::FormatNumber(s.Rate, "#.0");
        case 2:
            return util::FormatNumber(s.Thickness, "#0.000");
        case 3:
            return s.Frequency == 0 ? "Fail" : util::FormatNumber(s.Frequency, "#0.00");
        default:
            return {};
    }
}

}  // namespace delvar::monitor
