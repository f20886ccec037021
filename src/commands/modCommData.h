// The two readings queries of a running instrument: "K1" outputs, "K2" sensors.
#pragma once

#include <array>
#include <cstdint>

#include "commands/RunReadings.h"
#include "link/Link.h"

namespace delvar::commands {

// "K1": rate, deviation, thickness and power of outputs 1..4. 0 or the failure code.
std::int16_t Comm_GetOutputReadings(link::Link& link, std::array<OutputReading, 4>& outputs);

// "K2": rate, thickness and frequency of sensors 1..4. 0 or the failure code.
std::int16_t Comm_GetSensorReadings(link::Link& link, std::array<SensorReading, 4>& sensors);

}  // namespace delvar::commands
