// Stops the program after an error it cannot recover from.
#pragma once

#include <functional>
#include <string>

#include "app/DialogService.h"

namespace delvar::app {

// Shows "Critical Error: " + text and that the program must close, then calls exitNow
// (by default it ends the process with status 1).
void CriticalError(DialogService& dialogs, const std::string& text, const std::string& title,
                   const std::function<void()>& exitNow = {});

}  // namespace delvar::app
