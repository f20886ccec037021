// The data log's settings, as the settings file's [DataLog] section holds them.
#pragma once

#include <string>

namespace delvar::monitor {

struct DataLogSettings {
    std::string File = "Delvar.txt";  // a bare name lives beside the settings file
    int LogMode = 0;                  // 0 none, 1 overwrite, 2 append
    int StartTime = 0;                // s after the log run start
    int EndTime = 300;                // s after the log run start
    int Interval = 1;                 // s between rows, 0 = every poll
};

}  // namespace delvar::monitor
