// The time entry of the setup editors: "h:mm:ss" (or "h:mm") or whole seconds, from
// 0 to 5999 seconds (1:39:59).
#pragma once

#include <string_view>

#include "core/DialogService.h"

namespace delvar::editors {

inline constexpr int kMaxTimeSeconds = 5999;
inline constexpr const char* kTimeMessage =
    "Valid Time values are hh:mm:ss from 00:00:00 to 1:39:59, or 0 to 5999 seconds.";

// The seconds a time text stands for, -1 when it is unreadable or outside 0..5999.
// A text with ":" is a time of day, hours 0-23 and minutes and seconds 0-59; any
// other text is a number of seconds, rounded half to even: blank counts as 0, and
// anything that is not wholly one finite number is unreadable.
int TimeTextSeconds(std::string_view text);

// TimeTextSeconds, showing kTimeMessage when the result is -1.
int ParseTimeText(std::string_view text, core::DialogService& dialogs);

}  // namespace delvar::editors
