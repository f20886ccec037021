#include "commands/ReplyItems.h"

#include <climits>

#include "util/Text.h"

namespace delvar::commands {

std::vector<std::pair<int, std::string>> ReplyItems(const std::string& reply) {
    std::vector<std::pair<int, std::string>> items;
    std::string rest = util::Trim(reply);
    while (!rest.empty()) {
        std::string number = util::SplitFirst(rest, rest, ',');
        std::string value = util::SplitFirst(rest, rest, ' ');
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
