#include "sim/LayerPlan.h"

namespace delvar::sim {

namespace {

// Layer parameters of the D command that the runner uses.
enum LayerParam {
    kRate = 1,
    kFinalThick = 2,
    kTimeSetpoint = 3,
    kStartMode = 5,
    kOutput = 6,
    kMaxPower = 7,
    kSlewRate = 8,
    kSensor1 = 9,
    kFilm = 21,
    kNextLayer = 22,
};
// Ramp n's enabled flag, start, rate and time follow each other from these numbers.
constexpr std::array kRampFirstParam{13, 17, 30};

double Scaled(const SetupStore& store, RecordKind kind, int index, int param, double scale) {
    return double(store.Number(kind, index, param)) / scale;
}

}  // namespace

LayerPlan LoadLayerPlan(const SetupStore& store, int layer) {
    const auto L = RecordKind::Layer;
    LayerPlan plan;
    plan.index = layer;
    plan.output = int(store.Number(L, layer, kOutput));
    for (int s = 0; s < 4; ++s) plan.sensors[s] = store.Number(L, layer, kSensor1 + s) != 0;
    plan.rate = Scaled(store, L, layer, kRate, 10);
    plan.finalKA = Scaled(store, L, layer, kFinalThick, 1000);
    plan.timeSetpoint = Scaled(store, L, layer, kTimeSetpoint, 1);
    plan.startMode = int(store.Number(L, layer, kStartMode));
    plan.nextLayer = int(store.Number(L, layer, kNextLayer));
    plan.maxPower = Scaled(store, L, layer, kMaxPower, 10);
    plan.slewRate = Scaled(store, L, layer, kSlewRate, 10);
    for (int first : kRampFirstParam) {
        if (store.Number(L, layer, first) == 0) continue;
        plan.ramps[plan.rampCount++] = {Scaled(store, L, layer, first + 1, 1000),
                                        Scaled(store, L, layer, first + 2, 10),
                                        Scaled(store, L, layer, first + 3, 1)};
    }

    const auto F = RecordKind::Film;
    int film = int(store.Number(L, layer, kFilm));
    if (!store.HasRecord(F, film)) film = 1;
    plan.pTerm = Scaled(store, F, film, 201, 1);
    plan.iSeconds = Scaled(store, F, film, 202, 10);
    plan.dSeconds = Scaled(store, F, film, 203, 10);
    plan.tooling = Scaled(store, F, film, 206, 100) * Scaled(store, RecordKind::System, 1, 2, 100);
    plan.rise1Power = Scaled(store, F, film, 301, 10);
    plan.rise1Seconds = Scaled(store, F, film, 302, 1);
    plan.soak1Seconds = Scaled(store, F, film, 303, 1);
    plan.rise2Power = Scaled(store, F, film, 304, 10);
    plan.rise2Seconds = Scaled(store, F, film, 305, 1);
    plan.soak2Seconds = Scaled(store, F, film, 306, 1);
    plan.idlePower = Scaled(store, F, film, 307, 10);
    plan.shutterDelay = Scaled(store, F, film, 401, 1);
    plan.capturePercent = Scaled(store, F, film, 402, 10);

    const auto M = RecordKind::Material;
    int material = int(store.Number(F, film, 204));
    if (!store.HasRecord(M, material)) material = 1;
    plan.density = Scaled(store, M, material, 2, 100);
    plan.zFactor = Scaled(store, M, material, 3, 1000);
    return plan;
}

}  // namespace delvar::sim
