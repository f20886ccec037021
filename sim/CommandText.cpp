#include "sim/CommandText.h"

#include <charconv>

namespace delvar::sim {

namespace {

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// Reads a run of digits at text[at]; nothing when there is none or it overflows.
std::optional<int> ReadNumber(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && IsDigit(text[at])) ++at;
    if (at == start || at - start > 6) return std::nullopt;
    int value = 0;
    std::from_chars(text.data() + start, text.data() + at, value);
    return value;
}

// True when text[at] starts " <digits>," : the beginning of the next item.
bool ItemStartsAt(std::string_view text, std::size_t at) {
    if (at >= text.size() || text[at] != ' ') return false;
    std::size_t k = at;
    while (k < text.size() && text[k] == ' ') ++k;
    const std::size_t digits = k;
    while (k < text.size() && IsDigit(text[k])) ++k;
    return k > digits && k < text.size() && text[k] == ',';
}

}  // namespace

std::optional<RecordRequest> ParseRecordRequest(std::string_view rest) {
    std::size_t at = 0;
    const auto index = ReadNumber(rest, at);
    if (!index || at >= rest.size()) return std::nullopt;
    if (rest[at] == '?') return RecordRequest{*index, true, rest.substr(at + 1)};
    if (rest[at] == ' ') return RecordRequest{*index, false, rest.substr(at + 1)};
    return std::nullopt;
}

std::optional<std::vector<int>> ParseParamList(std::string_view body) {
    std::vector<int> params;
    std::size_t at = 0;
    while (true) {
        while (at < body.size() && body[at] == ' ') ++at;
        if (at == body.size()) break;
        const auto p = ReadNumber(body, at);
        if (!p || (at < body.size() && body[at] != ' ')) return std::nullopt;
        params.push_back(*p);
    }
    if (params.empty()) return std::nullopt;
    return params;
}

std::optional<std::vector<Item>> ParseItems(std::string_view body, RecordKind kind,
                                            int textOffset) {
    std::vector<Item> items;
    std::size_t at = 0;
    while (true) {
        while (at < body.size() && body[at] == ' ') ++at;
        if (at == body.size()) break;
        const auto p = ReadNumber(body, at);
        if (!p || at >= body.size() || body[at] != ',') return std::nullopt;
        ++at;
        const auto spec = FindParam(kind, *p + textOffset);
        const bool text = spec && spec->type == ValueType::Text;
        std::size_t end = at;
        if (text && spec->max == kNameLength && body.size() - at >= std::size_t(kNameLength) &&
            (body.size() - at == std::size_t(kNameLength) || body[at + kNameLength] == ' ')) {
            end = at + kNameLength;  // a full-width name, blanks and all
        } else if (text) {
            while (end < body.size() && !ItemStartsAt(body, end)) ++end;
        } else {
            while (end < body.size() && body[end] != ' ') ++end;
        }
        items.emplace_back(*p, std::string(body.substr(at, end - at)));
        at = end;
    }
    if (items.empty()) return std::nullopt;
    return items;
}

std::string JoinItems(const std::vector<Item>& items) {
    std::string out;
    for (const Item& item : items) {
        if (!out.empty()) out += ' ';
        out += std::to_string(item.first) + ',' + item.second;
    }
    return out;
}

}  // namespace delvar::sim
