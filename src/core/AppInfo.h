// What the program says about itself in reports and captions.
#pragma once

#include <string>

namespace delvar::core {

struct AppInfo {
    std::string title = "Delvar Comm";
    std::string companyName = "Delvar Comm developers";
    int major = 7;
    int minor = 0;
    int revision = 0;
    std::string path;  // the program's folder
    std::string productName = "Delvar Comm";
};

}  // namespace delvar::core
