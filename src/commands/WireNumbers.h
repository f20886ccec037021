// Conversions of received numbers to the record's integer types: rounded half to
// even and held within the type, so an absurd reply never wraps around.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

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

}  // namespace delvar::commands
