// The texts the main window shows for the last readings: output values in their
// formats (zeros for an output not in use), colours, layer fields.
#pragma once

#include <array>
#include <string>

#include "commands/RunReadings.h"

namespace delvar::monitor {

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kWhite{255, 255, 255};
// The readings while the instrument does not answer: the last values, greyed, so
// nobody takes them for the present ones.
inline constexpr Rgb kStaleGrey{128, 128, 128};

// Output k (0..3) colour: green, yellow, blue, red; white when its power is negative.
Rgb OutputColour(int output, const commands::OutputReading& reading);

// Rate "#0.00", deviation "#0.0", thickness "#0.000", power "#0.0"; an output whose
// power is negative (not in use) shows zeros in those formats.
struct OutputTexts {
    std::string rate, deviation, thickness, power;
};
OutputTexts OutputText(const commands::OutputReading& reading);

}  // namespace delvar::monitor
