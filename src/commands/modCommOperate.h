// Status query and operating commands of a running instrument: "V", "U", "S".
#pragma once

#include <cstdint>

#include "commands/RunReadings.h"
#include "link/Link.h"

namespace delvar::commands {

enum RunCode : std::int16_t {
    kStartProcess = 0,
    kResetProcess = 1,
    kStartLayer = 2,
    kStopLayer = 3,
    kNextLayer = 4,
    kZeroThickness = 32,
};

// "V": returns the phase code, -1 when the exchange failed (nothing stored then).
std::int16_t Comm_GetStatus(link::Link& link, RunStatus& status);

// "U code"; returns CommStatus.
std::int16_t Comm_RunCommand(link::Link& link, std::int16_t code);

// "S<output> <tenths of a percent>", or "S0" (output 0) to return every output to
// automatic control; returns CommStatus.
std::int16_t Comm_SetPower(link::Link& link, std::int16_t output, double percent);

// The command text Comm_SetPower sends.
std::string SetPowerCommand(std::int16_t output, double percent);

// "T n" selects a process; the caller re-reads that process record afterwards.
std::int16_t Comm_SendSelectProcess(link::Link& link, std::int16_t process);

// Text of a phase code as the main window shows it ("" for unknown codes).
const char* PhaseName(int phase);

}  // namespace delvar::commands
