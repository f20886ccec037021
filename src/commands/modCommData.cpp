#include "commands/modCommData.h"

#include <string>

#include "util/Text.h"

namespace delvar::commands {

namespace {
// Where each reply field goes: fields 2.. fill the channels in order, `per` values
// each; field 1 is read and not kept. A short reply updates only what it has.
template <std::size_t Channels, std::size_t Per, typename Record>
std::int16_t ReadInto(link::Link& link, const char* command, std::array<Record, Channels>& records,
                      double Record::*const (&members)[Per]) {
    std::string reply = link.SendCommand(command);
    if (link.CommStatus() != link::kOk) return static_cast<std::int16_t>(link.CommStatus());
    const int fields = util::FieldCount(reply, ' ');
    const int last = 1 + int(Channels * Per);
    for (int i = 2; i <= fields && i <= last; ++i) {
        const auto k = std::size_t(i - 2) / Per;
        const auto q = std::size_t(i - 2) % Per;
        records[k].*members[q] = util::LeadingNumber(util::GetField(reply, i, ' '));
    }
    return 0;
}

double OutputReading::*const kOutputFields[4] = {&OutputReading::Rate, &OutputReading::Deviation,
                                                 &OutputReading::Thickness, &OutputReading::Power};
double SensorReading::*const kSensorFields[3] = {&SensorReading::Rate, &SensorReading::Thickness,
                                                 &SensorReading::Frequency};
}  // namespace

std::int16_t Comm_GetOutputReadings(link::Link& link, std::array<OutputReading, 4>& outputs) {
    return ReadInto(link, "K1", outputs, kOutputFields);
}

std::int16_t Comm_GetSensorReadings(link::Link& link, std::array<SensorReading, 4>& sensors) {
    return ReadInto(link, "K2", sensors, kSensorFields);
}

}  // namespace delvar::commands
