#include "editors/TypedName.h"

#include "app/AppTitle.h"
#include "setup/SetupData.h"
#include "util/Text.h"

namespace delvar::editors {

std::string TypedName(std::string_view typed) {
    return setup::FixedName(util::Trim(typed));
}

bool NameLostCharacters(std::string_view typed) {
    // With the typed "?" out of the way, a "?" in the stored name is a replaced character.
    return TypedName(util::ReplaceChar(typed, '?', "#")).find('?') != std::string::npos;
}

void TellLostCharacters(std::string_view typed, const std::string& stored,
                        core::DialogService& dialogs) {
    if (!NameLostCharacters(typed)) return;
    dialogs.ShowMessage(
        {"The instrument takes plain ASCII characters only: the name is stored "
         "as \"" +
             util::Trim(stored) + "\".",
         app::kAppTitle, core::MessageIcon::Information});
}

}  // namespace delvar::editors
