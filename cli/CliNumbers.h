// Numbers given on the command line. A text is taken only when the whole of it is
// one number in range: "50abc", " 5", "nan" or "inf" are refused, never read as a
// leading part or as 0.
#pragma once

#include <optional>
#include <string_view>

namespace delvar::cli {

// T is long (whole numbers only) or double (decimal notation, finite).
template <typename T>
std::optional<T> NumberArgument(std::string_view text, T low, T high);

}  // namespace delvar::cli
