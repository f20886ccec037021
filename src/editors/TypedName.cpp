#include "editors/TypedName.h"

#include "setup/SetupData.h"
#include "util/Text.h"

namespace delvar::editors {

std::string TypedName(std::string_view typed) {
    return setup::FixedName(util::Trim(typed));
}

}  // namespace delvar::editors
