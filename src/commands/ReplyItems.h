// Reply lists of "p,value" items separated by blanks.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace delvar::commands {

// Each item's parameter number (rounded) and value text, in reply order. Every item's
// value is consumed, so an item the caller does not know never shifts the ones after it.
std::vector<std::pair<int, std::string>> ReplyItems(const std::string& reply);

// The text after the first comma of a one-item reply ("" when there is none).
std::string ValueAfterComma(const std::string& reply);

}  // namespace delvar::commands
