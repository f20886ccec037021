#include "util/Text.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>

namespace delvar::util {

int FieldCount(std::string_view text, char sep) {
    int count = 1;
    for (char ch : text)
        if (ch == sep) ++count;
    return count;
}

std::string GetField(std::string_view text, int n, char sep) {
    std::size_t start = 0;  // 0-based position of the field start
    for (int i = 1; i < n; ++i) {
        std::size_t found = text.find(sep, start);
        start = (found == std::string_view::npos) ? 0 : found + 1;
    }
    std::size_t end = text.find(sep, start);
    // A separator at position 1 does not end the field: the field runs to the end.
    if (end == std::string_view::npos || end == 0) end = text.size();
    if (start >= text.size()) return {};
    return std::string(text.substr(start, end - start));
}

std::string Trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string SplitFirst(std::string_view text, std::string& rest, char sep) {
    std::string trimmed = Trim(text);
    std::size_t at = trimmed.find(sep);
    if (at == std::string::npos) {
        rest.clear();
        return trimmed;
    }
    rest = Trim(std::string_view(trimmed).substr(at + 1));
    return trimmed.substr(0, at);
}

std::string ReplaceChar(std::string_view text, char c, std::string_view replacement) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        if (ch == c)
            out.append(replacement);
        else
            out.push_back(ch);
    }
    return out;
}

std::string StripChar(std::string_view text, char c) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text)
        if (ch != c) out.push_back(ch);
    return out;
}

namespace {
bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}
bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// Length of the longest prefix of text that reads as a decimal number.
std::size_t NumberPrefix(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) ++j;
            i = j;
        }
    }
    return i;
}
}  // namespace

double LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    text.remove_prefix(i);
    std::size_t len = NumberPrefix(text);
    if (len == 0) return 0.0;
    std::string_view number = text.substr(0, len);
    if (number.front() == '+') number.remove_prefix(1);
    double value = 0.0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc()) return 0.0;  // out of range
    return value;
}

bool ParseWholeNumber(std::string_view text, long& value) {
    std::string trimmed = Trim(text);
    std::string_view digits(trimmed);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    if (digits.empty()) return false;
    auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return result.ec == std::errc() && result.ptr == digits.data() + digits.size();
}

bool ParseTypedNumber(std::string_view text, double& value) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return false;
    const std::size_t end = text.find_last_not_of(" \t");
    std::string_view number = text.substr(begin, end - begin + 1);
    // One optional sign, then a digit or a point: from_chars alone would also take
    // "inf" and "nan", and it does not take a leading "+".
    const bool plus = number.front() == '+';
    if (plus) number.remove_prefix(1);
    std::string_view body =
        number.substr(!plus && !number.empty() && number.front() == '-' ? 1 : 0);
    if (body.empty() ||
        !(std::isdigit(static_cast<unsigned char>(body.front())) || body.front() == '.'))
        return false;
    double parsed = 0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (result.ec != std::errc() || result.ptr != number.data() + number.size()) return false;
    if (!std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

long RoundHalfEven(double value) {
    // Out of range or not a number: the nearest end of the range (0 for NaN), never
    // an undefined conversion.
    constexpr double kLimit = 9.2e18;
    if (std::isnan(value)) return 0;
    if (value >= kLimit) return LONG_MAX;
    if (value <= -kLimit) return LONG_MIN;
    double whole = std::floor(value);
    double diff = value - whole;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    return static_cast<long>(whole);
}

std::string PrintableAscii(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (ch >= 0x20 && ch < 0x7F) {
            out.push_back(char(ch));
            ++i;
            continue;
        }
        // One "?" for a whole UTF-8 sequence, so each character counts once.
        std::size_t length = ch >= 0xF0 && ch <= 0xF4 ? 4 : ch >= 0xE0 ? 3 : ch >= 0xC2 ? 2 : 1;
        if (ch >= 0xF5) length = 1;
        std::size_t k = 1;
        while (k < length && i + k < text.size() &&
               (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80)
            ++k;
        i += k == length ? length : 1;
        out.push_back('?');
    }
    return out;
}

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (char& ch : out) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return out;
}

}  // namespace delvar::util
