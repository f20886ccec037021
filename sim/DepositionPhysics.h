// The physics of the simulated chamber: a source whose rate follows its power with
// a lag above a threshold, and quartz crystals whose frequency falls as film loads
// them (the Z-match relation, which reduces to Sauerbrey's for thin films).
#pragma once

namespace delvar::sim {

inline constexpr double kFreshCrystalHz = 6.0e6;

struct SourceModel {
    double thresholdPercent = 15.0;  // below it nothing evaporates
    double gain = 0.5;               // A/s per % above the threshold
    double lagSeconds = 2.0;         // first-order time constant
};

// The source's rate after dt seconds at power, starting from rate. Exact for a
// first-order lag, so any step length stays stable.
double StepSourceRate(const SourceModel& model, double rate, double powerPercent, double dt);

// Film on a crystal: its thickness in A, density in g/cm3, acoustic impedance ratio.
struct CrystalLoad {
    double thicknessA = 0;
    double density = 2.7;
    double zFactor = 1.0;
};

// Frequency of a crystal of the fresh frequency fq carrying load, in Hz.
double CrystalFrequency(double fq, const CrystalLoad& load);
// Film thickness in A that brings a crystal of fresh frequency fq down to f.
double ThicknessAtFrequency(double fq, double f, double density, double zFactor);

}  // namespace delvar::sim
