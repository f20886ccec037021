// The debug dump of a setup: one text line per process, layer, film group and
// material, with the values as the instrument commands carry them.
#pragma once

#include <string>

#include "setup/SetupData.h"

namespace delvar::transfer {

// Replaces the file with the dump of setup. Throws std::runtime_error when the file
// cannot be written.
void DumpSetup(const setup::SetupData& setup, const std::string& fileName);

}  // namespace delvar::transfer
