#include "monitor/GraphSetup.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "util/Format.h"
#include "util/Text.h"

namespace delvar::monitor {

namespace {

std::optional<double> Number(std::string_view text) {
    std::string trimmed = util::Trim(text);
    std::string_view digits(trimmed);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    double value = 0;
    auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || result.ec != std::errc() || result.ptr != digits.data() + digits.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

void SetPositive(double& field, double value) {
    if (value > 0) field = value;
}

}  // namespace

std::string AxesProblem(const GraphAxes& a) {
    constexpr double kFar = 1e9;      // s or units of the value axis
    constexpr double kWidest = 1e6;   // s, about eleven days
    constexpr double kNarrowest = 1;  // s
    constexpr double kFinest = 1e-6;  // the value axis' least span, relative to its values
    for (double v : {a.XMin, a.XWide, a.XDiv, a.YMin, a.YMax, a.YDiv})
        if (!std::isfinite(v)) return "An axis value is not a number.";
    if (a.XWide < kNarrowest || a.XWide > kWidest)
        return "The time axis must be 1 to 1000000 seconds wide.";
    if (std::fabs(a.XMin) > kFar) return "The time axis starts too far from 0.";
    if (a.XDiv <= 0 || a.XWide / a.XDiv > kMaxAxisLines)
        return "The time axis' grid spacing gives more than 500 grid lines.";
    if (std::fabs(a.YMin) > kFar || std::fabs(a.YMax) > kFar)
        return "The value axis' limits must lie within 1000000000 of 0.";
    const double span = a.YMax - a.YMin;
    if (span <= kFinest * std::max({1.0, std::fabs(a.YMin), std::fabs(a.YMax)}))
        return "The value axis' maximum must be above its minimum.";
    if (a.YDiv <= 0 || span / a.YDiv > kMaxAxisLines)
        return "The value axis' grid spacing gives more than 500 grid lines.";
    return "";
}

void ApplySetupEntry(std::string_view entry, GraphAxes& axes) {
    while (!entry.empty()) {
        std::size_t end = entry.find(';');
        std::string_view item = entry.substr(0, end);
        entry = end == std::string_view::npos ? std::string_view() : entry.substr(end + 1);
        std::size_t equals = item.find('=');
        if (equals == std::string_view::npos) continue;
        std::string tag = util::Trim(item.substr(0, equals));
        std::optional<double> value = Number(item.substr(equals + 1));
        if (!value) continue;
        if (tag == "XMax") {
            if (*value > 0) axes.XWide = *value, axes.XMin = 0;
        } else if (tag == "XDiv") {
            SetPositive(axes.XDiv, *value);
        } else if (tag == "XGrd") {
            axes.XGrid = *value == 1;
        } else if (tag == "YMax") {
            axes.YMax = *value;
        } else if (tag == "YMin") {
            axes.YMin = *value;
        } else if (tag == "YDiv") {
            SetPositive(axes.YDiv, *value);
        } else if (tag == "YGrd") {
            axes.YGrid = *value == 1;
        }
    }
}

std::string SetupEntryText(const GraphAxes& axes) {
    auto number = [](double v) { return util::NumberText(v); };
    return "XMax=" + number(axes.XWide) + ";XDiv=" + number(axes.XDiv) +
           ";XGrd=" + (axes.XGrid ? "1" : "0") + ";YMax=" + number(axes.YMax) +
           ";YMin=" + number(axes.YMin) + ";YDiv=" + number(axes.YDiv) +
           ";YGrd=" + (axes.YGrid ? "1" : "0") + ";";
}

}  // namespace delvar::monitor
