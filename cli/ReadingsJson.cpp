#include "cli/ReadingsJson.h"

#include "commands/modCommOperate.h"

namespace delvar::cli {

std::string IsoLocalTime(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    char offset[8];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
    std::strftime(offset, sizeof offset, "%z", &local);
    // strftime gives the offset as +hhmm; ISO 8601's extended form wants +hh:mm.
    const std::string zone(offset);
    return std::string(stamp) + zone.substr(0, 3) + ":" + zone.substr(3);
}

nlohmann::json ReadingsJson(std::int16_t phase, const commands::RunReadings& r, std::time_t when) {
    nlohmann::json outputs = nlohmann::json::array();
    for (const commands::OutputReading& o : r.outputs) {
        // A negative power is how the instrument says the output is not in use.
        if (o.Power < 0) {
            outputs.push_back(nullptr);
            continue;
        }
        outputs.push_back({{"rate_A_s", o.Rate},
                           {"deviation_pct", o.Deviation},
                           {"thickness_kA", o.Thickness},
                           {"power_pct", o.Power}});
    }
    nlohmann::json sensors = nlohmann::json::array();
    for (const commands::SensorReading& s : r.sensors)
        sensors.push_back(
            {{"rate_A_s", s.Rate}, {"thickness_kA", s.Thickness}, {"frequency_Hz", s.Frequency}});
    return {{"time", IsoLocalTime(when)},
            {"phase", phase},
            {"phase_text", commands::PhaseName(phase)},
            {"process", r.status.ProcessNumber},
            {"layer", r.status.LayerNumber},
            {"elapsed_s", r.status.ElapsedTime},
            {"outputs", std::move(outputs)},
            {"sensors", std::move(sensors)}};
}

}  // namespace delvar::cli
