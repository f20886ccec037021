// The one conversion between record values and the integers the instrument
// commands carry, in both directions. Rounding is half to even and results are held
// within the record's type, so an absurd value never wraps around.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "util/Text.h"

namespace delvar::commands {

inline std::int16_t ToInteger(double value) {
    return static_cast<std::int16_t>(
        std::clamp<long>(util::RoundHalfEven(value), INT16_MIN, INT16_MAX));
}

inline std::int32_t ToLong(double value) {
    return static_cast<std::int32_t>(
        std::clamp<long>(util::RoundHalfEven(value), INT32_MIN, INT32_MAX));
}

// A record value in wire units: value times scale, rounded to a whole number
// (2.01 s in milliseconds goes out as 2010, not as 2009.9999999999998).
inline std::int32_t WireValue(double value, int scale = 1) {
    return ToLong(value * scale);
}

// The wire value as the decimal text a command carries.
inline std::string WireText(double value, int scale = 1) {
    return std::to_string(WireValue(value, scale));
}

}  // namespace delvar::commands
