#include "util/Format.h"

#include <cstdio>

#include "util/Text.h"

namespace delvar::util {

std::string FormatHMS(double seconds) {
    long total = seconds > 0 ? RoundHalfEven(seconds) : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, (total / 60) % 60,
                  total % 60);
    return text;
}

}  // namespace delvar::util

namespace delvar::util {

std::string NumberText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

}  // namespace delvar::util
