// The simulated deposition: runs a process's layers through their phases, drives
// the source outputs (PID on the rate, or manual power) and loads the crystals.
// Time only moves through Advance(); nothing here reads a clock.
#pragma once

#include <array>
#include <cstdint>
#include <random>

#include "sim/DepositionPhysics.h"
#include "sim/LayerPlan.h"
#include "sim/SetupStore.h"

namespace delvar::sim {

// Phase codes of the "V" reply.
enum Phase : int {
    kStopped = 0,
    kInitLayer = 2,
    kManualStart = 3,
    kPreCondition = 6,
    kRise1 = 7,
    kSoak1 = 8,
    kRise2 = 9,
    kSoak2 = 10,
    kShutterDelay = 12,
    kDeposit = 13,
    kRateRamp = 14,
    kRampDeposit = 15,
    kCrystalFail = 24,
    kStopLayer = 25,
    kManualPower = 26,
};

enum class RunResult { Ok, NotReady, BadData, BadMode };

struct StatusReading {
    int phase = kStopped;
    double elapsed = 0;  // s since the process started
    int process = 1;
    int layer = 0;        // layer number within the process, 1 for the first
    int layerRecord = 0;  // the layer table index running now, 0 when none
};

struct OutputReading {
    double rate = 0, deviation = 0, thickness = 0;  // A/s, %, kA
    double power = -1;                              // %, negative: not in use
};

struct SensorReading {
    double rate = 0, thickness = 0, frequency = 0;  // A/s, kA, Hz
};

class ProcessRunner {
  public:
    ProcessRunner(const SetupStore& store, int channels, std::uint32_t seed = 1);

    // Moves simulated time forward by seconds.
    void Advance(double seconds);
    // A "U" run code: 0 start process, 1 reset, 2 start layer, 3 stop layer,
    // 4 next layer, 32 zero thickness.
    RunResult Run(int code);
    // Selects the process to run ("T"); refused while one runs.
    RunResult Select(int process);
    // Manual power in tenths of a percent for output 1..channels ("S n v").
    RunResult SetManualPower(int output, long tenths);
    // Every output back to automatic control ("S0").
    void SetAutomatic();

    bool Running() const { return phase_ != kStopped; }
    int CurrentPhase() const { return phase_; }
    StatusReading Status() const;
    std::array<OutputReading, 4> Outputs() const;
    std::array<SensorReading, 4> Sensors() const;

  private:
    struct Output {
        double power = 0, rate = 0, thicknessKA = 0, setpoint = 0;
        double bias = 0, integral = 0, lastError = 0;
        bool manual = false;
        double manualPower = 0;
    };
    struct Crystal {
        double fresh = kFreshCrystalHz;
        double loadA = 0;    // film on the crystal, A
        double shownKA = 0;  // thickness shown, tooling-corrected, zeroable
        double rate = 0;     // measured rate, tooling-corrected A/s
        bool failed = false;
    };

    void Step(double dt);
    void StepPhase(double dt);
    void StepOutput(double dt);
    void StepCrystals(double dt);
    void Enter(int phase);
    void StartLayer(int record, bool counts);
    void FinishLayer();
    void GoToNextLayer();
    void StopProcess();
    void BeginControl();
    void LoadPlan(int record);
    double TargetPower(int output, double dt);
    double Setpoint() const;
    int LayerOutput() const { return plan_.output - 1; }
    double MeasuredRate() const;
    double Ramp(double from, double to, double seconds) const;

    const SetupStore& store_;
    int channels_;
    std::mt19937 random_;
    SourceModel source_;
    int phase_ = kStopped;
    int resumePhase_ = kStopped;  // where manual power returns to
    int process_ = 1;
    int layerNumber_ = 0;
    int layersVisited_ = 0;
    LayerPlan plan_;
    int pendingLayer_ = 0;      // waits for "start layer" in Man. Start Layer
    bool autoAdvance_ = false;  // Stop Layer moves on by itself (the layer ended)
    std::array<double, 4> sensorTooling_{1, 1, 1, 1};
    double failLoadA_ = 0;  // crystal load that reaches the minimum frequency
    double elapsed_ = 0, phaseTime_ = 0, depositTime_ = 0;
    double phaseStartPower_ = 0, rampStartRate_ = 0;
    int rampsDone_ = 0;
    std::array<Output, 4> outputs_{};
    std::array<Crystal, 4> crystals_{};
};

}  // namespace delvar::sim
