// IF/THEN logic statements with the I command, and the instrument's validity check.
#pragma once

#include "link/Link.h"
#include "setup/SetupData.h"

namespace delvar::commands {

using LogicTable = setup::Table<setup::LogicRec, setup::kMaxLogic>;

inline constexpr int kLogicNameRefused = 50;
inline constexpr int kLogicIfRefused = 51;
inline constexpr int kLogicThenRefused = 52;

int ReadLogic(link::Link& link, LogicTable& logic, int index);
// Strips commas from the name (kept so), then writes; 0, 50/51/52 when the instrument
// refused the name, IF condition or THEN action, else the failing CommStatus.
int WriteLogic(link::Link& link, LogicTable& logic, int index);
// True when the instrument reports the statement's condition valid.
bool VerifyLogic(link::Link& link, int index);

}  // namespace delvar::commands
