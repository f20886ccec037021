#include "sim/ProcessRunner.h"

#include <algorithm>
#include <cmath>

namespace delvar::sim {

namespace {
constexpr double kStepSeconds = 0.05;
constexpr int kMaxStepsPerAdvance = 20000;    // long gaps are crossed in longer steps
constexpr double kSettleSeconds = 0.5;        // Initialize, PreCondition and Stop Layer
constexpr double kMinCaptureSeconds = 1.0;    // the rate must settle before capture counts
constexpr double kPidGainScale = 25.0;        // P term 25 gives 1 % per A/s of error
constexpr std::array kProcessTerms{2, 3, 4};  // Number_Layers, First_Layer, Number_Act_Layers

bool ShutterOpen(int phase) {
    return phase == kDeposit || phase == kRateRamp || phase == kRampDeposit ||
           phase == kManualPower;
}
bool UnderControl(int phase) {
    return phase == kShutterDelay || phase == kDeposit || phase == kRateRamp ||
           phase == kRampDeposit;
}
}  // namespace

ProcessRunner::ProcessRunner(const SetupStore& store, int channels, std::uint32_t seed)
    : store_(store), channels_(std::clamp(channels, 1, 4)), random_(seed) {
    // Each crystal is cut a little differently.
    for (std::size_t s = 0; s < crystals_.size(); ++s) crystals_[s].fresh += 1500.0 * double(s);
    LoadPlan(1);
    Select(1);
}

void ProcessRunner::LoadPlan(int record) {
    plan_ = LoadLayerPlan(store_, store_.HasRecord(RecordKind::Layer, record) ? record : 1);
    for (int s = 0; s < 4; ++s) {
        const long tooling = store_.Number(RecordKind::Sensor, s + 1, 1);
        sensorTooling_[s] = tooling > 0 ? double(tooling) / 100.0 : 1.0;
    }
    const double minHz = double(store_.Number(RecordKind::System, 1, 6)) * 1e5;
    failLoadA_ = ThicknessAtFrequency(kFreshCrystalHz, minHz, plan_.density, plan_.zFactor);
}

void ProcessRunner::Advance(double seconds) {
    if (!(seconds > 0)) return;
    const bool idle = phase_ == kStopped &&
                      std::all_of(outputs_.begin(), outputs_.end(),
                                  [](const Output& o) { return o.power == 0 && o.rate < 1e-9; });
    if (idle) return;  // nothing moves in a cold, stopped chamber
    const int steps = int(std::min<double>(kMaxStepsPerAdvance, std::ceil(seconds / kStepSeconds)));
    const double dt = seconds / steps;
    for (int i = 0; i < steps; ++i) Step(dt);
}

void ProcessRunner::Step(double dt) {
    if (phase_ != kStopped) elapsed_ += dt;
    phaseTime_ += dt;
    if (ShutterOpen(phase_)) depositTime_ += dt;
    StepOutput(dt);
    StepCrystals(dt);
    StepPhase(dt);
}

double ProcessRunner::Ramp(double from, double to, double seconds) const {
    if (seconds <= 0 || phaseTime_ >= seconds) return to;
    return from + (to - from) * phaseTime_ / seconds;
}

double ProcessRunner::Setpoint() const {
    if (phase_ == kRateRamp && rampsDone_ < plan_.rampCount) {
        const RateRamp& ramp = plan_.ramps[rampsDone_];
        return Ramp(rampStartRate_, ramp.rate, ramp.seconds);
    }
    if (rampsDone_ > 0) return plan_.ramps[rampsDone_ - 1].rate;
    return plan_.rate;
}

double ProcessRunner::TargetPower(int k, double dt) {
    Output& out = outputs_[k];
    if (out.manual) return out.manualPower;
    if (k != LayerOutput()) return 0;
    switch (phase_) {
        case kRise1:
            return Ramp(phaseStartPower_, plan_.rise1Power, plan_.rise1Seconds);
        case kSoak1:
            return plan_.rise1Power;
        case kRise2:
            return Ramp(phaseStartPower_, plan_.rise2Power, plan_.rise2Seconds);
        case kSoak2:
            return plan_.rise2Power;
        case kStopLayer:
            return plan_.idlePower;
        default:
            break;
    }
    if (!UnderControl(phase_)) return 0;
    // PID on the measured rate around the power the loop took over with.
    const double error = out.setpoint - MeasuredRate();
    const double gain = plan_.pTerm / kPidGainScale;
    const double derivative = plan_.dSeconds * (error - out.lastError) / dt;
    out.lastError = error;
    double integral = 0;
    if (plan_.iSeconds > 0) integral = (out.integral + error * dt) / plan_.iSeconds;
    const double power = out.bias + gain * (error + integral + derivative);
    // Integrate only while the output is not pinned at a limit (no wind-up).
    if (power > 0 && power < plan_.maxPower) out.integral += error * dt;
    return power;
}

void ProcessRunner::StepOutput(double dt) {
    for (int k = 0; k < channels_; ++k) {
        Output& out = outputs_[k];
        out.setpoint = (k == LayerOutput() && UnderControl(phase_)) ? Setpoint() : 0;
        double power = TargetPower(k, dt);
        if (!out.manual) {
            if (plan_.slewRate > 0) {
                const double step = plan_.slewRate * dt;
                power = std::clamp(power, out.power - step, out.power + step);
            }
            power = std::min(power, plan_.maxPower);
        }
        out.power = std::clamp(power, 0.0, 100.0);
        out.rate = StepSourceRate(source_, out.rate, out.power, dt);
        if (ShutterOpen(phase_)) out.thicknessKA += MeasuredRate() * dt / 1000.0;
    }
}

void ProcessRunner::StepCrystals(double dt) {
    const int k = LayerOutput();
    const double sourceRate = (k >= 0 && k < channels_) ? outputs_[k].rate : 0;
    bool anyGood = false, anyUsed = false;
    for (int s = 0; s < channels_; ++s) {
        Crystal& xtal = crystals_[s];
        if (!plan_.sensors[s]) {
            xtal.rate = 0;
            continue;
        }
        anyUsed = true;
        if (xtal.failed) continue;
        const double tooling = plan_.tooling * sensorTooling_[s];
        xtal.loadA += sourceRate / tooling * dt;
        const double noise =
            std::normal_distribution<double>(0, 0.01 + 0.005 * sourceRate)(random_);
        xtal.rate = sourceRate > 0 ? std::max(0.0, sourceRate + noise) : 0;
        xtal.shownKA += xtal.rate * dt / 1000.0;
        if (xtal.loadA >= failLoadA_) {
            xtal.failed = true;
            xtal.rate = 0;
        } else {
            anyGood = true;
        }
    }
    if (anyUsed && !anyGood && phase_ != kStopped && phase_ != kCrystalFail) {
        for (Output& out : outputs_) out.manual = false;
        Enter(kCrystalFail);
    }
}

void ProcessRunner::StepPhase(double dt) {
    (void)dt;
    const double thickness = outputs_[std::size_t(std::clamp(LayerOutput(), 0, 3))].thicknessKA;
    switch (phase_) {
        case kInitLayer:
            if (phaseTime_ >= kSettleSeconds) Enter(kPreCondition);
            break;
        case kPreCondition:
            if (phaseTime_ >= kSettleSeconds) Enter(kRise1);
            break;
        case kRise1:
            if (phaseTime_ >= plan_.rise1Seconds) Enter(kSoak1);
            break;
        case kSoak1:
            if (phaseTime_ >= plan_.soak1Seconds) Enter(kRise2);
            break;
        case kRise2:
            if (phaseTime_ >= plan_.rise2Seconds) Enter(kSoak2);
            break;
        case kSoak2:
            if (phaseTime_ >= plan_.soak2Seconds) {
                BeginControl();
                Enter(plan_.shutterDelay > 0 ? kShutterDelay : kDeposit);
            }
            break;
        case kShutterDelay: {
            const double setpoint = Setpoint();
            const bool captured =
                setpoint > 0 &&
                std::fabs(MeasuredRate() - setpoint) / setpoint * 100.0 <= plan_.capturePercent;
            // Past the allowed delay the shutter opens anyway.
            if ((captured && phaseTime_ >= kMinCaptureSeconds) || phaseTime_ >= plan_.shutterDelay)
                Enter(kDeposit);
            break;
        }
        case kDeposit:
        case kRampDeposit:
        case kRateRamp:
            if ((plan_.finalKA > 0 && thickness >= plan_.finalKA) ||
                (plan_.timeSetpoint > 0 && depositTime_ >= plan_.timeSetpoint)) {
                FinishLayer();
            } else if (phase_ == kRateRamp) {
                if (phaseTime_ >= plan_.ramps[rampsDone_].seconds) {
                    ++rampsDone_;
                    Enter(kRampDeposit);
                }
            } else if (rampsDone_ < plan_.rampCount &&
                       thickness >= plan_.ramps[rampsDone_].startKA) {
                rampStartRate_ = Setpoint();
                Enter(kRateRamp);
            }
            break;
        case kStopLayer:
            if (autoAdvance_ && phaseTime_ >= kSettleSeconds) GoToNextLayer();
            break;
        default:
            break;  // Stopped, Man. Start Layer, Crystal Fail, Manual Power wait for a command
    }
}

void ProcessRunner::Enter(int phase) {
    phase_ = phase;
    phaseTime_ = 0;
    const int k = LayerOutput();
    phaseStartPower_ = (k >= 0 && k < 4) ? outputs_[k].power : 0;
}

void ProcessRunner::BeginControl() {
    const int k = LayerOutput();
    if (k < 0 || k >= 4) return;
    outputs_[k].bias = outputs_[k].power;
    outputs_[k].integral = 0;
    outputs_[k].lastError = 0;
}

void ProcessRunner::StartLayer(int record, bool counts) {
    LoadPlan(record);
    if (counts) {
        ++layerNumber_;
        ++layersVisited_;
    }
    rampsDone_ = 0;
    depositTime_ = 0;
    autoAdvance_ = false;
    const int k = LayerOutput();
    if (k >= 0 && k < 4) outputs_[k].thicknessKA = 0;
    Enter(kInitLayer);
}

void ProcessRunner::FinishLayer() {
    Enter(kStopLayer);
    autoAdvance_ = true;
}

void ProcessRunner::GoToNextLayer() {
    // Step over the layer's co-deposition partners to the link that leaves the group.
    int record = plan_.index;
    for (int guard = 0; guard < 4; ++guard) {
        if (store_.Number(RecordKind::Layer, record, 22) > 0) break;
        const long partner = store_.Number(RecordKind::Layer, record, 23);
        if (partner < 1) break;
        record = int(partner);
        ++layersVisited_;
    }
    const int next = int(store_.Number(RecordKind::Layer, record, 22));
    const long total = store_.Number(RecordKind::Process, process_, kProcessTerms[2]);
    if (!store_.HasRecord(RecordKind::Layer, next) || layersVisited_ >= total) {
        StopProcess();
        return;
    }
    if (store_.Number(RecordKind::Layer, next, 5) == 1) {
        pendingLayer_ = next;
        LoadPlan(next);
        Enter(kManualStart);
        return;
    }
    StartLayer(next, true);
}

void ProcessRunner::StopProcess() {
    Enter(kStopped);
    for (Output& out : outputs_) {
        out.manual = false;
        out.setpoint = 0;
    }
}

double ProcessRunner::MeasuredRate() const {
    double sum = 0;
    int n = 0;
    for (int s = 0; s < channels_; ++s) {
        if (plan_.sensors[s] && !crystals_[s].failed) {
            sum += crystals_[s].rate;
            ++n;
        }
    }
    return n ? sum / n : 0;
}

RunResult ProcessRunner::Run(int code) {
    switch (code) {
        case 0: {
            if (Running()) return RunResult::BadMode;
            const long first = store_.Number(RecordKind::Process, process_, kProcessTerms[1]);
            const long count = store_.Number(RecordKind::Process, process_, kProcessTerms[2]);
            // A process without layers cannot start: the instrument is not ready for it.
            if (count < 1) return RunResult::NotReady;
            if (!store_.HasRecord(RecordKind::Layer, int(first))) return RunResult::BadData;
            elapsed_ = 0;
            layerNumber_ = layersVisited_ = 0;
            StartLayer(int(first), true);
            return RunResult::Ok;
        }
        case 1:
            StopProcess();
            elapsed_ = 0;
            layerNumber_ = 0;
            // A reset is where the operator changes a failed crystal.
            for (Crystal& xtal : crystals_) {
                if (xtal.failed) xtal = Crystal{xtal.fresh, 0, 0, 0, false};
            }
            return RunResult::Ok;
        case 2:
            if (phase_ == kStopped) return Run(0);
            if (phase_ == kManualStart) {
                StartLayer(pendingLayer_, true);
                return RunResult::Ok;
            }
            if (phase_ == kStopLayer || phase_ == kCrystalFail) {
                StartLayer(plan_.index, false);
                return RunResult::Ok;
            }
            return RunResult::BadMode;
        case 3:
            if (phase_ == kStopped) return RunResult::BadMode;
            Enter(kStopLayer);
            autoAdvance_ = false;
            return RunResult::Ok;
        case 4:
            if (phase_ == kStopped) return RunResult::BadMode;
            GoToNextLayer();
            return RunResult::Ok;
        case 32:
            for (Output& out : outputs_) out.thicknessKA = 0;
            for (Crystal& xtal : crystals_) xtal.shownKA = 0;
            return RunResult::Ok;
        default:
            return RunResult::BadData;
    }
}

RunResult ProcessRunner::Select(int process) {
    if (Running()) return RunResult::BadMode;
    if (!store_.HasRecord(RecordKind::Process, process)) return RunResult::BadData;
    process_ = process;
    LoadPlan(int(store_.Number(RecordKind::Process, process, kProcessTerms[1])));
    return RunResult::Ok;
}

RunResult ProcessRunner::SetManualPower(int output, long tenths) {
    if (output < 1 || output > channels_ || tenths < 0 || tenths > 1000) return RunResult::BadData;
    Output& out = outputs_[output - 1];
    out.manual = true;
    out.manualPower = double(tenths) / 10.0;
    if (phase_ != kManualPower) {
        resumePhase_ = phase_;
        Enter(kManualPower);
    }
    return RunResult::Ok;
}

void ProcessRunner::SetAutomatic() {
    for (Output& out : outputs_) out.manual = false;
    if (phase_ != kManualPower) return;
    Enter(resumePhase_);
    if (UnderControl(phase_)) BeginControl();
}

StatusReading ProcessRunner::Status() const {
    const bool layerActive = phase_ != kStopped;
    return {phase_, elapsed_, process_, layerNumber_, layerActive ? plan_.index : 0};
}

std::array<OutputReading, 4> ProcessRunner::Outputs() const {
    // An output the instrument does not have, or that the running layer does not
    // drive, reports a negative power: not in use.
    std::array<OutputReading, 4> readings{};
    for (OutputReading& r : readings) r.power = -1;
    for (int k = 0; k < channels_; ++k) {
        if (phase_ != kStopped && k != LayerOutput() && !outputs_[k].manual) continue;
        const Output& out = outputs_[k];
        OutputReading& r = readings[k];
        r.rate = k == LayerOutput() ? MeasuredRate() : 0;
        if (out.setpoint > 0) r.deviation = (r.rate - out.setpoint) / out.setpoint * 100.0;
        r.thickness = out.thicknessKA;
        r.power = out.power;
    }
    return readings;
}

std::array<SensorReading, 4> ProcessRunner::Sensors() const {
    std::array<SensorReading, 4> readings{};
    for (int s = 0; s < channels_; ++s) {
        const Crystal& xtal = crystals_[s];
        readings[s] = {xtal.rate, xtal.shownKA,
                       CrystalFrequency(xtal.fresh, {xtal.loadA, plan_.density, plan_.zFactor})};
    }
    return readings;
}

}  // namespace delvar::sim
