// A name as an editor stores what the operator typed: trimmed, cut at 16 characters
// (not bytes), every character the instrument cannot take as "?", padded to the
// fixed 16-character field.
#pragma once

#include <string>
#include <string_view>

#include "core/DialogService.h"

namespace delvar::editors {

std::string TypedName(std::string_view typed);

// Whether characters of typed had to become "?" in the name stored from it (characters
// cut off beyond the 16th do not count).
bool NameLostCharacters(std::string_view typed);

// Tells the operator, in one message, when characters of typed had to become "?",
// showing stored, the name as it was stored. Nothing when every character was kept.
void TellLostCharacters(std::string_view typed, const std::string& stored,
                        core::DialogService& dialogs);

}  // namespace delvar::editors
