// The main window's base title and the full titles built from it.
#pragma once

#include <string>

#include "core/AppInfo.h"

namespace delvar::app {

using core::kAppTitle;

std::string OfflineTitle();                               // "Delvar Comm - [Off Line]"
std::string OnlineTitle(const std::string& versionText);  // "Delvar Comm - [<version>]"

}  // namespace delvar::app
