// A name as an editor stores what the operator typed: trimmed, cut at 16 characters
// (not bytes), every character the instrument cannot take as "?", padded to the
// fixed 16-character field.
#pragma once

#include <string>
#include <string_view>

namespace delvar::editors {

std::string TypedName(std::string_view typed);

}  // namespace delvar::editors
