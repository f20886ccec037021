// The per-user set-up entry of one graph, "XMax=60;XDiv=10;XGrd=1;YMax=100;YMin=0;
// YDiv=10;YGrd=1;": the time-axis width, spacings, limits and grid flags.
#pragma once

#include <string>
#include <string_view>

#include "monitor/ChartControl.h"

namespace delvar::monitor {

// Grid lines an axis may have; a spacing that gives more is refused.
inline constexpr double kMaxAxisLines = 500;

// "" when the axes can be drawn: every value finite; a time axis 1 s to 1e6 s wide
// starting within 1e9 s of 0; a value axis whose maximum lies above its minimum, both
// within 1e9 of 0; spacings above 0 giving at most kMaxAxisLines lines each. Otherwise
// what is wrong, as a sentence for the operator.
std::string AxesProblem(const GraphAxes& axes);

// Takes each tag present in entry into axes; "XMax=" also puts XMin back to 0. A tag
// whose value is not a number, or a width or spacing that is not above 0, is skipped.
// Grid flags: 1 shown, any other number hidden.
void ApplySetupEntry(std::string_view entry, GraphAxes& axes);

// The entry to save: every tag, numbers in decimal, grid flags 1 or 0.
std::string SetupEntryText(const GraphAxes& axes);

}  // namespace delvar::monitor
