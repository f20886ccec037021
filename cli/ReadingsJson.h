// The readings of one poll as a JSON object for other programs (status --json and
// watch --json): the unit of each reading is in its key name.
#pragma once

#include <cstdint>
#include <ctime>
#include <nlohmann/json.hpp>
#include <string>

#include "commands/RunReadings.h"

namespace delvar::cli {

// Local time in ISO 8601 with its offset from UTC, e.g. "2026-12-08T01:02:03+01:00".
std::string IsoLocalTime(std::time_t when);

// One object: time, phase, phase_text, process, layer, elapsed_s, and the outputs
// (null when not in use) and sensors with their readings.
nlohmann::json ReadingsJson(std::int16_t phase, const commands::RunReadings& readings,
                            std::time_t when);

}  // namespace delvar::cli
