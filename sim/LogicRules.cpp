#include "sim/LogicRules.h"

#include <array>

#include "sim/SetupStore.h"

namespace delvar::sim {

namespace {

struct Range {
    long first, last;
};

constexpr std::array kIfOperands{
    Range{101, 116},   Range{201, 216},   Range{301, 308},   Range{401, 408}, Range{501, 520},
    Range{601, 612},   Range{701, 724},   Range{801, 815},   Range{901, 964}, Range{1001, 1064},
    Range{1101, 1199}, Range{1201, 1299}, Range{1301, 1350},
};
constexpr long kFirstTimerValue = 1401;
constexpr long kLastTimerValue = 1401 + 99999;

constexpr std::array kThenActions{
    Range{0, 5},     Range{101, 112}, Range{201, 216}, Range{301, 308},
    Range{401, 408}, Range{501, 503}, Range{601, 702}, Range{801, 807},
};

template <std::size_t N>
bool InRanges(const std::array<Range, N>& ranges, long code) {
    for (const Range& r : ranges) {
        if (code >= r.first && code <= r.last) return true;
    }
    return false;
}

bool IsOperand(long code) {
    return InRanges(kIfOperands, code) || (code >= kFirstTimerValue && code <= kLastTimerValue);
}

bool IsBinary(long code) {
    return code == kAnd || code == kOr || code == kMore || code == kLess;
}

// Recursive descent over the terms; fails on any term out of place.
class ConditionParser {
  public:
    ConditionParser(const std::vector<long>& terms, const std::function<long(long)>* operand)
        : terms_(terms), operand_(operand) {}

    std::optional<long> Whole() {
        const auto value = Expression(0);
        if (!value || at_ != terms_.size()) return std::nullopt;
        return value;
    }

  private:
    std::optional<long> Expression(int depth) {
        auto left = Unary(depth);
        while (left && at_ < terms_.size() && IsBinary(terms_[at_])) {
            const long op = terms_[at_++];
            const auto right = Unary(depth);
            if (!right) return std::nullopt;
            left = Combine(op, *left, *right);
        }
        return left;
    }

    std::optional<long> Unary(int depth) {
        if (at_ >= terms_.size() || depth > int(kMaxIfTerms)) return std::nullopt;
        const long code = terms_[at_++];
        if (code == kNot) {
            const auto value = Unary(depth + 1);
            if (!value) return std::nullopt;
            return *value ? 0 : 1;
        }
        if (code == kOpen) {
            const auto value = Expression(depth + 1);
            if (!value || at_ >= terms_.size() || terms_[at_] != kClose) return std::nullopt;
            ++at_;
            return value;
        }
        if (!IsOperand(code)) return std::nullopt;
        if (code >= kFirstTimerValue) return code - kFirstTimerValue;
        return operand_ ? (*operand_)(code) : 0;
    }

    static long Combine(long op, long left, long right) {
        switch (op) {
            case kAnd:
                return (left && right) ? 1 : 0;
            case kOr:
                return (left || right) ? 1 : 0;
            case kMore:
                return left > right ? 1 : 0;
            default:
                return left < right ? 1 : 0;
        }
    }

    const std::vector<long>& terms_;
    const std::function<long(long)>* operand_;
    std::size_t at_ = 0;
};

}  // namespace

bool KnownIfTerm(long code) {
    return (code >= kAnd && code <= kLess) || IsOperand(code);
}

bool KnownThenAction(long code) {
    return InRanges(kThenActions, code);
}

std::optional<std::vector<long>> ParseTerms(std::string_view text) {
    std::vector<long> terms;
    while (true) {
        const auto colon = text.find(':');
        const auto value = ParseWireNumber(text.substr(0, colon));
        if (!value) return std::nullopt;
        terms.push_back(*value);
        if (colon == std::string_view::npos) break;
        text.remove_prefix(colon + 1);
    }
    if (terms.size() == 1 && terms[0] == 0) terms.clear();
    return terms;
}

bool ConditionValid(const std::vector<long>& terms) {
    return !terms.empty() && ConditionParser(terms, nullptr).Whole().has_value();
}

bool EvaluateCondition(const std::vector<long>& terms, const std::function<long(long)>& operand) {
    const auto value = ConditionParser(terms, &operand).Whole();
    return value && *value != 0;
}

}  // namespace delvar::sim
