// What the program says about itself in reports and captions.
#pragma once

#include <string>

namespace delvar::core {

// The program's title: the main window's base title and the caption of its messages.
inline constexpr const char* kAppTitle = "Delvar Comm";

// The folder of the running program's executable; "" where the system cannot tell.
std::string ProgramFolder();

struct AppInfo {
    std::string title = kAppTitle;
    std::string companyName = "Delvar Comm developers";
    int major = 7;
    int minor = 0;
    int revision = 0;
    std::string path = ProgramFolder();  // the program's folder
    std::string productName = "Delvar Comm";
};

}  // namespace delvar::core
