// What the program says about itself in reports and captions.
#pragma once

#include <string>

#include "core/Version.h"

namespace delvar::core {

// The program's title: the main window's base title and the caption of its messages.
inline constexpr const char* kAppTitle = "Delvar Comm";

// The folder of the running program's executable; "" where the system cannot tell.
std::string ProgramFolder();

// "<major><minor><patch>_Blank.mdb", the blank setup template of this version.
std::string BlankTemplateFileName();

// Where the program's read-only files (chart looks, help, blank template, demo setup)
// are: beside the program when the blank template lies there (a build tree), else
// <prefix>/share/delvar-comm of an installed program, else the program's folder.
std::string DataFolderFor(const std::string& programFolder);
std::string DataFolder();  // DataFolderFor(ProgramFolder())

// True when the program runs from an installed layout (its files under share/): it
// then keeps everything it writes in the per-user folders, never beside itself.
bool RunsInstalled();

struct AppInfo {
    std::string title = kAppTitle;
    std::string companyName = "Delvar Comm developers";
    int major = kVersionMajor;
    int minor = kVersionMinor;
    int revision = kVersionPatch;
    std::string path = ProgramFolder();  // the program's folder
    std::string productName = "Delvar Comm";
};

}  // namespace delvar::core
