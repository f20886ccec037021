// Loads the simulator's instrument setup from a setup database file: the file is
// read as the program reads it, then every record goes into the store in wire units,
// checked as a write from the program would be.
#pragma once

#include <string>

#include "sim/SetupStore.h"

namespace delvar::sim {

struct LoadResult {
    bool opened = false;
    int refused = 0;    // values the instrument would not accept (left at their defaults)
    std::string error;  // why the file could not be read
};

LoadResult LoadSetupFile(const std::string& path, SetupStore& store);

}  // namespace delvar::sim
