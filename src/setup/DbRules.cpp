#include "setup/DbRules.h"

#include "util/Text.h"

namespace delvar::setup {

namespace {
constexpr double kHzPerMHz = 1'000'000.0;
// A stored minimum frequency at or above this is in Hz (older files hold MHz).
constexpr double kHzThreshold = 10.0;

// Names the instrument receives must not carry commas.
std::string NameWithoutCommas(const std::string& name) {
    return FixedName(util::StripChar(name, ','));
}

template <class Rec>
void TrimAssignments(Rec& record) {
    record.UseInputs = util::Trim(record.UseInputs);
    record.UseRelays = util::Trim(record.UseRelays);
}

template <class Rec>
Rec WithAssignments(const Rec& record) {
    Rec stored = record;
    if (stored.UseInputs.empty()) stored.UseInputs = stored.UseRelays = kNoAssignments;
    return stored;
}
}  // namespace

void AfterRead(ProcessRec& process) {
    process.Process_Name = NameWithoutCommas(process.Process_Name);
}

void AfterRead(LayerRec& layer) {
    if (layer.Film_Number < 1) layer.Film_Number = 1;
    if (layer.Output_Number < 1) layer.Output_Number = 1;
    if (layer.Max_Power1 == 0) layer.Max_Power1 = 25;
    if (layer.Slew_Rate1 == 0) layer.Slew_Rate1 = 25;
}

void AfterRead(FilmRec& film) {
    film.Film_Name = NameWithoutCommas(film.Film_Name);
    if (film.Material_Index < 1) film.Material_Index = 1;
}

void AfterRead(MaterialRec& material) {
    material.Material = NameWithoutCommas(material.Material);
}

void AfterRead(SystemRec& system) {
    if (system.Min_Freq < kHzThreshold) return;
    system.Min_Freq /= kHzPerMHz;
    system.Max_Freq /= kHzPerMHz;
}

void AfterRead(LogicRec& logic) {
    logic.Name = WordName(logic.Name);
}

void AfterRead(SensorRec& sensor) {
    TrimAssignments(sensor);
}

void AfterRead(SourceRec& source) {
    TrimAssignments(source);
}

void AfterRead(InputRec& input) {
    input.Name = WordName(input.Name);
}

void AfterRead(RelayRec& relay) {
    relay.Name = WordName(relay.Name);
}

SystemRec Stored(const SystemRec& system) {
    SystemRec stored = system;
    stored.Min_Freq *= kHzPerMHz;
    stored.Max_Freq *= kHzPerMHz;
    return stored;
}

SensorRec Stored(const SensorRec& sensor) {
    return WithAssignments(sensor);
}

SourceRec Stored(const SourceRec& source) {
    return WithAssignments(source);
}

}  // namespace delvar::setup
