#include "app/CriticalError.h"

#include <cstdlib>

namespace delvar::app {

void CriticalError(DialogService& dialogs, const std::string& text, const std::string& title,
                   const std::function<void()>& exitNow) {
    dialogs.ShowMessage({"Critical Error: " + text + "\nApplication must close!", title,
                         MessageIcon::Critical, MessageButtons::Ok});
    if (exitNow)
        exitNow();
    else
        std::exit(1);
}

}  // namespace delvar::app
