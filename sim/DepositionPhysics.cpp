#include "sim/DepositionPhysics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace delvar::sim {

namespace {
constexpr double kQuartzFrequencyConstant = 1.668e13;  // N_q in Hz*A
constexpr double kQuartzDensity = 2.648;               // g/cm3
}  // namespace

double StepSourceRate(const SourceModel& model, double rate, double powerPercent, double dt) {
    const double target = model.gain * std::max(0.0, powerPercent - model.thresholdPercent);
    return target + (rate - target) * std::exp(-dt / model.lagSeconds);
}

double ThicknessAtFrequency(double fq, double f, double density, double zFactor) {
    if (f >= fq || density <= 0 || zFactor <= 0) return 0;
    const double pi = std::numbers::pi;
    return kQuartzFrequencyConstant * kQuartzDensity / (pi * density * f * zFactor) *
           std::atan(zFactor * std::tan(pi * (fq - f) / fq));
}

double CrystalFrequency(double fq, const CrystalLoad& load) {
    if (load.thicknessA <= 0) return fq;
    // Thickness grows as frequency falls: bisect between a nearly dead crystal and fq.
    double low = fq * 0.5, high = fq;
    if (ThicknessAtFrequency(fq, low, load.density, load.zFactor) < load.thicknessA) return low;
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (low + high);
        if (ThicknessAtFrequency(fq, mid, load.density, load.zFactor) > load.thicknessA) {
            low = mid;
        } else {
            high = mid;
        }
    }
    return 0.5 * (low + high);
}

}  // namespace delvar::sim
