// Run-time records filled by the poll: status, output readings, sensor readings.
// Each keeps its last values until a later good reply overwrites them.
#pragma once

#include <array>
#include <cstdint>

namespace delvar::commands {

struct RunStatus {
    double ElapsedTime = 0;  // s
    std::int16_t ProcessNumber = 0;
    std::int16_t LayerNumber = 0;
    std::int16_t StatusWord5 = 0;
};

struct OutputReading {
    double Rate = 0;       // A/s
    double Deviation = 0;  // % of the rate setpoint
    double Thickness = 0;  // kA
    double Power = 0;      // %; negative: output not in use
};

struct SensorReading {
    double Rate = 0;       // A/s
    double Thickness = 0;  // kA
    double Frequency = 0;  // Hz
};

struct RunReadings {
    RunStatus status;
    std::array<OutputReading, 4> outputs;
    std::array<SensorReading, 4> sensors;
};

}  // namespace delvar::commands
