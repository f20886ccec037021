// The codes a logic statement is made of, as data: every IF term and THEN action code
// with its text, and the categories the statement builder offers them in. The
// instrument decides what a statement means; these tables only name the codes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "setup/SetupData.h"

namespace delvar::editors {

// The first code of the Timer Value category: the term 1401 + v compares with the
// value v.
inline constexpr std::int32_t kTimerValueBase = 1401;
inline constexpr std::int32_t kMaxTimerValue = 99999;

struct LogicCategory {
    const char* name;
    std::int32_t base;  // the category's first code
};

enum class LogicPart { If, Then };

// The text of an IF term or THEN action code; "" for a code no table knows.
std::string IfText(std::int32_t code);
std::string ThenText(std::int32_t code);
std::string CodeText(LogicPart part, std::int32_t code);

// The category lists, in the order the builder shows them.
std::span<const LogicCategory> Categories(LogicPart part);

// A select list: the texts of base, base + 1, ... up to the last code before the
// first one without a text. The Timer Value category has no list (it is typed).
std::vector<std::string> SelectList(LogicPart part, std::int32_t base);

// The statement's terms up to the first that is 0 or less.
int TermCount(const setup::LogicRec& statement);
// Those terms' texts, separated by blanks.
std::string ConditionText(const setup::LogicRec& statement);

}  // namespace delvar::editors
