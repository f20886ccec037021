// The main window's base title and the full titles built from it.
#pragma once

#include <string>

namespace delvar::app {

inline constexpr const char* kAppTitle = "Delvar Comm";

std::string OfflineTitle();                               // "Delvar Comm - [Off Line]"
std::string OnlineTitle(const std::string& versionText);  // "Delvar Comm - [<version>]"

}  // namespace delvar::app
