// What the open does to a record after its columns are read, and the form in which
// the save writes a record: the reading and writing rules of the setup database.
#pragma once

#include "setup/SetupData.h"

namespace delvar::setup {

// The all-zero relay and input assignment string.
inline constexpr const char* kNoAssignments = "0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0";

// Reading rules, applied in place to a record just read from its row.
void AfterRead(ProcessRec& process);    // name without commas, 16 characters
void AfterRead(LayerRec& layer);        // film, output below 1 -> 1; power, slew 0 -> 25
void AfterRead(FilmRec& film);          // name without commas; material below 1 -> 1
void AfterRead(MaterialRec& material);  // name without commas
void AfterRead(SystemRec& system);      // frequencies stored in Hz become MHz
void AfterRead(LogicRec& logic);        // name in its "_" form (WordName)
void AfterRead(SensorRec& sensor);      // assignment strings trimmed
void AfterRead(SourceRec& source);
void AfterRead(InputRec& input);  // name in its "_" form (WordName)
void AfterRead(RelayRec& relay);

// Writing rules: the record as it is stored.
SystemRec Stored(const SystemRec& system);  // frequencies in Hz
SensorRec Stored(const SensorRec& sensor);  // no inputs: both strings all zero
SourceRec Stored(const SourceRec& source);
template <class Rec>
const Rec& Stored(const Rec& record) {
    return record;
}

}  // namespace delvar::setup
