// The program's settings in memory, as the settings file "Delvar Comm.ini" holds them.
#pragma once

#include <string>

#include "link/CommSettings.h"
#include "monitor/DataLogSettings.h"

namespace delvar::app {

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
    monitor::DataLogSettings log;
    int Display = 0;  // graph shown, 0..3
};

}  // namespace delvar::app
