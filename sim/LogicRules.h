// The rules of the instrument's logic statements: which IF term and THEN action codes
// exist, whether a condition is well formed, and its value for given input and relay
// states.
#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace delvar::sim {

// Operator codes of an IF condition.
enum LogicOperator : long {
    kAnd = 3,
    kOr = 4,
    kNot = 5,
    kOpen = 6,
    kClose = 7,
    kMore = 8,
    kLess = 9
};

inline constexpr std::size_t kMaxIfTerms = 16;

bool KnownIfTerm(long code);
bool KnownThenAction(long code);  // 0 (no action) included

// The terms of a condition as they travel: "101:3:205", "0" for none.
std::optional<std::vector<long>> ParseTerms(std::string_view text);

// A condition is valid when its terms form one expression: operands joined by AND,
// OR, > or <, each operand possibly negated with NOT or grouped in parentheses.
bool ConditionValid(const std::vector<long>& terms);

// The condition's value; operand(code) gives an operand's state. An invalid
// condition is false. A comparison is true when the left value exceeds (or stays
// below) the right one, timer values (1401 and up) counting as code - 1401.
bool EvaluateCondition(const std::vector<long>& terms, const std::function<long(long)>& operand);

}  // namespace delvar::sim
