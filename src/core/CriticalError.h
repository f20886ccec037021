// Stops the program after an error it cannot recover from.
#pragma once

#include <functional>
#include <string>

#include "core/DialogService.h"

namespace delvar::core {

// Shows "Critical Error: " + text and that the program must close (critical icon, caption
// title), then calls exitNow; without one the process ends at once with status 1. Returns
// only when an injected exitNow returns.
void CriticalError(DialogService& dialogs, const std::string& text, const std::string& title,
                   const std::function<void()>& exitNow = {});

}  // namespace delvar::core
