#include "app/AppTitle.h"

#include "util/Text.h"

namespace delvar::app {

std::string OfflineTitle() {
    return std::string(kAppTitle) + " - [Off Line]";
}

std::string OnlineTitle(const std::string& versionText) {
    return std::string(kAppTitle) + " - [" + util::Trim(versionText) + "]";
}

}  // namespace delvar::app
