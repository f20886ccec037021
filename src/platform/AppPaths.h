// Where the program keeps its per-user files on this platform.
#pragma once

#include <string>

namespace delvar::platform {

// The per-user data folder (created when missing), e.g. ~/.local/share/Delvar/Delvar Comm.
std::string UserDataFolder();
std::string ErrorReportPath();  // "ERRORS.TXT" in the data folder
std::string TraceFolder();      // where "trace.log" goes

}  // namespace delvar::platform
