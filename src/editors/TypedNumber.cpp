#include "editors/TypedNumber.h"

#include "app/AppTitle.h"
#include "util/Text.h"

namespace delvar::editors {

bool ParseCellNumber(std::string_view text, double& value) {
    if (text.find_first_not_of(" \t") == std::string_view::npos) {
        value = 0;
        return true;
    }
    return util::ParseTypedNumber(text, value);
}

std::optional<double> TypedNumber(std::string_view text, double low, double high,
                                  const std::string& message, core::DialogService& dialogs) {
    double value = 0;
    if (ParseCellNumber(text, value) && value >= low && value <= high) return value;
    RefuseEntry(message, dialogs);
    return std::nullopt;
}

void RefuseEntry(const std::string& message, core::DialogService& dialogs) {
    dialogs.ShowMessage(
        {message, app::kAppTitle, core::MessageIcon::Exclamation, core::MessageButtons::Ok});
}

}  // namespace delvar::editors
