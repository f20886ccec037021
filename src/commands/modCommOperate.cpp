#include "commands/modCommOperate.h"

#include <array>

#include "commands/WireNumbers.h"
#include "util/Text.h"

namespace delvar::commands {

namespace {

constexpr std::array<const char*, 38> kPhaseNames = {"Stopped",
                                                     "Crystal Verify",
                                                     "Initialize Layer",
                                                     "Man. Start Layer",
                                                     "Rotate Crystal",
                                                     "Rotate Pocket",
                                                     "PreCondition",
                                                     "Rise 1",
                                                     "Soak 1",
                                                     "Rise 2",
                                                     "Soak 2",
                                                     "Soak Hold",
                                                     "Shutter Delay",
                                                     "Deposit",
                                                     "Rate Ramp",
                                                     "Ramp Deposit",
                                                     "Timed Power",
                                                     "Sample Delay",
                                                     "Sample",
                                                     "Crystal Switch",
                                                     "Feed Ramp",
                                                     "Feed Soak",
                                                     "Idle Ramp",
                                                     "Start Layer",
                                                     "Crystal Fail",
                                                     "Stop Layer",
                                                     "Manual Power",
                                                     "Sens Indx Timeout",
                                                     "Src Indx Timeout",
                                                     "Sensor Indx Error",
                                                     "Source Indx Error",
                                                     "Xtal Pos. Invalid",
                                                     "Index Pos. Invalid",
                                                     "Rate Sampel Hold",
                                                     "Rate Sample Cont.",
                                                     "Crystal Fail Halt",
                                                     "Next Crystal",
                                                     "Sample Delay"};
}  // namespace

const char* PhaseName(int phase) {
    if (phase < 0 || phase >= int(kPhaseNames.size())) return "";
    return kPhaseNames[std::size_t(phase)];
}

std::int16_t Comm_GetStatus(link::Link& link, RunStatus& status) {
    std::string reply = link.SendCommand("V");
    if (link.CommStatus() != link::kOk) return -1;
    std::int16_t phase = 0;
    const int fields = util::FieldCount(reply, ' ');
    for (int i = 1; i <= fields && i <= 5; ++i) {
        double value = util::LeadingNumber(util::GetField(reply, i, ' '));
        switch (i) {
            case 1:
                phase = ToInteger(value);
                break;
            case 2:
                status.ElapsedTime = value;
                break;
            case 3:
                status.ProcessNumber = ToInteger(value);
                break;
            case 4:
                status.LayerNumber = ToInteger(value);
                break;
            case 5:
                status.StatusWord5 = ToInteger(value);
                break;
        }
    }
    return phase;
}

std::int16_t Comm_RunCommand(link::Link& link, std::int16_t code) {
    link.SendCommand("U " + std::to_string(code));
    return static_cast<std::int16_t>(link.CommStatus());
}

std::string SetPowerCommand(std::int16_t output, double percent) {
    if (output == 0) return "S0";
    return "S" + std::to_string(output) + " " + WireText(percent, 10);
}

std::int16_t Comm_SetPower(link::Link& link, std::int16_t output, double percent) {
    link.SendCommand(SetPowerCommand(output, percent));
    return static_cast<std::int16_t>(link.CommStatus());
}

std::int16_t Comm_SendSelectProcess(link::Link& link, std::int16_t process) {
    link.SendCommand("T " + std::to_string(process));
    return static_cast<std::int16_t>(link.CommStatus());
}

}  // namespace delvar::commands
