#include "sim/DigitalIo.h"

#include "sim/LogicRules.h"

namespace delvar::sim {

namespace {

constexpr int kInputPin = 3, kInputLevel = 2;  // GA parameters
constexpr int kLogicTerms = 2, kLogicThen = 3, kLogicDefined = 6;
constexpr long kFirstRelayAction = 201;
constexpr int kStatements = 32;

// State codes (701 and up) the simulated run can be in, by phase.
long StateCode(int phase) {
    switch (phase) {
        case 0:
            return 701;  // Stopped
        case 2:
            return 703;  // Init_Layer
        case 3:
            return 704;  // Manual_Start
        case 6:
        case 7:
        case 8:
        case 9:
        case 10:
            return 707;  // PreCondition
        case 12:
            return 709;  // Shutter_Delay
        case 13:
        case 14:
        case 15:
            return 710;  // Deposit
        case 24:
            return 717;  // Crystal_Fail
        case 25:
            return 718;  // Stop_Layer
        default:
            return 0;
    }
}

}  // namespace

bool PinClosed(long pin) {
    return pin == 1 || pin == 2;
}

long DigitalIo::Operand(long code, RunView run) const {
    if (code >= 101 && code <= 116) return inputs_[code - 101];
    if (code >= 201 && code <= 216) return relays_[code - 201];
    if (code >= 701 && code <= 724) return code == StateCode(run.phase) ? 1 : 0;
    if (code == 802) return run.phase == 26 ? 1 : 0;  // Manual_Power
    if (code == 806) return run.running ? 1 : 0;      // Process_Active
    if (code == 807) return run.running ? 0 : 1;      // Process_Stop
    return 0;
}

void DigitalIo::Scan(const SetupStore& store, RunView run) {
    for (int k = 1; k <= kIoCount; ++k) {
        const long pin = store.Number(RecordKind::Input, k, kInputPin);
        // Level 1 is an active-low input: it reads on while its switch is open.
        const bool inverted = store.Number(RecordKind::Input, k, kInputLevel) == 1;
        inputs_[k - 1] = (pin > 0 && PinClosed(pin) != inverted) ? 1 : 0;
    }
    for (int s = 1; s <= kStatements; ++s) {
        if (store.Number(RecordKind::Logic, s, kLogicDefined) != 1) continue;
        const long action = store.Number(RecordKind::Logic, s, kLogicThen);
        if (action < kFirstRelayAction || action >= kFirstRelayAction + kIoCount) continue;
        const auto terms = ParseTerms(store.Text(RecordKind::Logic, s, kLogicTerms));
        if (!terms) continue;
        const bool on =
            EvaluateCondition(*terms, [this, run](long code) { return Operand(code, run); });
        relays_[action - kFirstRelayAction] = on ? 1 : 0;
    }
}

}  // namespace delvar::sim
