// What the process runner needs of one layer, its film and material, in
// engineering units, taken from the setup store's wire integers when the layer starts.
#pragma once

#include <array>

#include "sim/SetupStore.h"

namespace delvar::sim {

struct RateRamp {
    double startKA = 0;  // thickness that starts it
    double rate = 0;     // new setpoint, A/s
    double seconds = 0;  // time to reach it
};

struct LayerPlan {
    int index = 0;  // layer record
    int output = 1;
    std::array<bool, 4> sensors{};
    double rate = 0;  // A/s
    double finalKA = 0;
    double timeSetpoint = 0;  // s, 0 = off
    int startMode = 0;        // 1: wait for the operator before starting
    int nextLayer = -1;
    double maxPower = 100, slewRate = 0;  // %, %/s (0 = no limit)
    std::array<RateRamp, 3> ramps{};      // the enabled ramps of the D command
    int rampCount = 0;
    // Film
    double pTerm = 0, iSeconds = 0, dSeconds = 0;
    double tooling = 1.0;  // film x system tooling, as a factor
    double rise1Power = 0, rise1Seconds = 0, soak1Seconds = 0;
    double rise2Power = 0, rise2Seconds = 0, soak2Seconds = 0;
    double idlePower = 0;
    double shutterDelay = 0;  // s, 0 = no delay phase
    double capturePercent = 0;
    // Material
    double density = 1, zFactor = 1;
};

// The plan of a layer; a film or material out of range falls back to record 1.
LayerPlan LoadLayerPlan(const SetupStore& store, int layer);

}  // namespace delvar::sim
