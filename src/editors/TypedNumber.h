// Numbers the operator types into an editor's grid cell or entry box. A number goes to
// the instrument only when the whole entry is one: "1e309", "nan", "1,5" and "12abc"
// are refused rather than read as 0, 1 or 12.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/DialogService.h"

namespace delvar::editors {

// The value of a typed entry: an empty (or blank) entry counts as 0, an emptied cell
// being a zero entry; any other text must be wholly one finite number. False, value
// untouched, otherwise.
bool ParseCellNumber(std::string_view text, double& value);

// The typed number when it is one (ParseCellNumber) and lies within low..high, bounds
// included. Otherwise message is shown and nothing is returned. Either way the caller
// then redraws the cell from its record in the row's format: a refused entry reverts,
// an accepted one shows what will be sent.
std::optional<double> TypedNumber(std::string_view text, double low, double high,
                                  const std::string& message, core::DialogService& dialogs);

// Shows message as the editors show a refused entry (OK button, exclamation icon).
void RefuseEntry(const std::string& message, core::DialogService& dialogs);

}  // namespace delvar::editors
