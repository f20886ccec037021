#include "core/CriticalError.h"

#include <cstdio>
#include <cstdlib>

namespace delvar::core {

void CriticalError(DialogService& dialogs, const std::string& text, const std::string& title,
                   const std::function<void()>& exitNow) {
    dialogs.ShowMessage({"Critical Error: " + text + "\nApplication must close!", title,
                         MessageIcon::Critical, MessageButtons::Ok});
    if (exitNow) {
        exitNow();
        return;
    }
    // At once: no destructor runs (a shared error handler would complain about the
    // procedures still on its stack); only the C streams are flushed first.
    std::fflush(nullptr);
    std::_Exit(1);
}

}  // namespace delvar::core
