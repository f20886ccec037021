// The program's settings in memory, as the settings file "Delvar Comm.ini" holds them.
#pragma once

#include <string>

#include "link/CommSettings.h"

namespace delvar::app {

struct DataLogSettings {
    std::string File = "Delvar.txt";  // a bare name lives beside the settings file
    int LogMode = 0;                  // 0 none, 1 overwrite, 2 append
    int StartTime = 0;                // s after the log run start
    int EndTime = 300;                // s after the log run start
    int Interval = 1;                 // s between rows, 0 = every poll
};

struct AppSettings {
    std::string DatabaseFile = "Delvar.mdb";  // a bare name lives beside the settings file
    int Debug = 0;                            // read, never written back
    // The saved link settings. The link works on its own copy; the program copies it
    // back at shutdown (not when it ran on the built-in simulator).
    link::CommSettings comm = [] {
        link::CommSettings c;
        c.Type = link::kPortRs232;
        c.USBDevice = "0";
        return c;
    }();
    int UpDnAll = 0;
    int UpDnProcesses = 0;
    int UpDnSystem = 0;
    int UpDnMaterials = 0;
    DataLogSettings log;
    int Display = 0;  // graph shown, 0..3
};

}  // namespace delvar::app
