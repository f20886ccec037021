#include "commands/ReplyItems.h"

#include <climits>

#include "util/Text.h"

namespace delvar::commands {

namespace {
// "digits,…": no value the instrument sends holds a comma, so this is an item.
bool LooksLikeItem(const std::string& value) {
    const auto comma = value.find(',');
    if (comma == std::string::npos || comma == 0) return false;
    for (std::size_t i = 0; i < comma; ++i) {
        if (value[i] < '0' || value[i] > '9') return false;
    }
    return true;
}
}  // namespace

std::vector<std::pair<int, std::string>> ReplyItems(const std::string& reply) {
    std::vector<std::pair<int, std::string>> items;
    std::string rest = util::Trim(reply);
    while (!rest.empty()) {
        std::string number = util::SplitFirst(rest, rest, ',');
        std::string value = util::SplitFirst(rest, rest, ' ');
        if (LooksLikeItem(value)) {
            // An empty value (a blank name): what was taken is the next item itself.
            rest = util::Trim(value + " " + rest);
            value.clear();
        }
        long p = util::RoundHalfEven(util::LeadingNumber(number));
        if (p > 0 && p < INT_MAX) items.emplace_back(int(p), value);
    }
    return items;
}

std::string ValueAfterComma(const std::string& reply) {
    auto comma = reply.find(',');
    return comma == std::string::npos ? std::string() : reply.substr(comma + 1);
}

}  // namespace delvar::commands
