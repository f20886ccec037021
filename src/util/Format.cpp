#include "util/Format.h"

#include <cmath>
#include <cstdio>
#include <limits>

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

namespace delvar::util {

std::string FormatNumber(double value, const char* pattern) {
    const std::string p(pattern);
    const auto point = p.find('.');
    const int decimals = point == std::string::npos ? 0 : int(p.size() - point - 1);
    const bool forceInteger = p.substr(0, point).find('0') != std::string::npos;
    if (!std::isfinite(value)) value = 0;
    // Half away from zero on the decimal value: nudge by a few ulps so that 2.675
    // (stored as 2.67499999...) rounds as the operator reads it.
    const double scale = std::pow(10.0, decimals);
    double scaled = std::fabs(value) * scale;
    scaled = std::floor(scaled * (1 + 4 * std::numeric_limits<double>::epsilon()) + 0.5);
    const bool negative = value < 0 && scaled > 0;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, scaled / scale);
    std::string out = text;
    if (!forceInteger && out.rfind("0.", 0) == 0) out.erase(0, 1);
    if (!forceInteger && out == "0") out.clear();
    return negative ? "-" + out : out;
}

}  // namespace delvar::util
