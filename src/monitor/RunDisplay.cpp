#include "monitor/RunDisplay.h"

#include "util/Format.h"

namespace delvar::monitor {

Rgb OutputColour(int output, const commands::OutputReading& reading) {
    static constexpr std::array<Rgb, 4> kColours = {Rgb{0, 255, 0}, Rgb{255, 255, 0},
                                                    Rgb{0, 0, 255}, Rgb{255, 0, 0}};
    if (reading.Power < 0 || output < 0 || output > 3) return kWhite;
    return kColours[output];
}

OutputTexts OutputText(const commands::OutputReading& reading) {
    using util::FormatNumber;
    if (reading.Power < 0) return {"0.00", "0.0", "0.000", "0.0"};
    return {FormatNumber(reading.Rate, "#0.00"), FormatNumber(reading.Deviation, "#0.0"),
            FormatNumber(reading.Thickness, "#0.000"), FormatNumber(reading.Power, "#0.0")};
}

}  // namespace delvar::monitor
