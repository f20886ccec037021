// Display formats shared by the windows and the command-line tool.
#pragma once

#include <string>

namespace delvar::util {

// Seconds as h:mm:ss, hours not padded (3725 -> "1:02:05"); rounded to whole seconds
// half to even, negative values show as 0:00:00.
std::string FormatHMS(double seconds);

}  // namespace delvar::util

namespace delvar::util {

// The usual number-to-text form of a value shown to the operator: at most 15
// significant digits, so the tail of a binary fraction never shows
// (0.35000000000000003 -> "0.35"); no trailing zeros, no decimal point for whole
// numbers (2.5 -> "2.5", 3 -> "3").
std::string NumberText(double value);

}  // namespace delvar::util

namespace delvar::util {

// A value in a display pattern of the form "#0.00", "#0.0", "#0.000" or "#.0": the
// number of digits after the point, and a forced integer digit when a "0" stands
// before it ("#.0" shows 0.5 as ".5"). Rounded half away from zero on the decimal
// digits; a value that rounds to zero never shows a minus sign.
std::string FormatNumber(double value, const char* pattern);

}  // namespace delvar::util
