#include "cli/CliNumbers.h"

#include <charconv>
#include <cmath>

namespace delvar::cli {

template <typename T>
std::optional<T> NumberArgument(std::string_view text, T low, T high) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end) return std::nullopt;
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value)) return std::nullopt;
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

template std::optional<long> NumberArgument<long>(std::string_view, long, long);
template std::optional<double> NumberArgument<double>(std::string_view, double, double);

}  // namespace delvar::cli
