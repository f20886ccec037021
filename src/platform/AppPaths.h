// Where the program keeps its per-user files on this platform.
#pragma once

#include <string>

namespace delvar::platform {

// The per-user data folder (created when missing), e.g. ~/.local/share/<org>/Delvar Comm;
// the home folder's ".delvar-comm" when the system names none.
std::string UserDataFolder();
std::string ErrorReportPath();  // "ERRORS.TXT" in the data folder
std::string TraceFolder();      // the folder "trace.log" goes to: the data folder

}  // namespace delvar::platform
