// System record ("B"), sensors and sources ("HA"/"HB") with their I/O assignment
// strings ("HE"/"HF"), digital inputs and relays ("GA"/"GB") and I/O counts ("GC").
// The sensor, source, input and relay operations work on the table they are given.
#pragma once

#include <cstdint>
#include <string>

#include "link/Link.h"
#include "setup/SetupData.h"

namespace delvar::commands {

using SensorTable = setup::Table<setup::SensorRec, setup::kMaxChannels>;
using SourceTable = setup::Table<setup::SourceRec, setup::kMaxChannels>;
using InputTable = setup::Table<setup::InputRec, setup::kMaxIo>;
using RelayTable = setup::Table<setup::RelayRec, setup::kMaxIo>;

inline constexpr int kAllButUsedBy = 99;
inline constexpr const char* kZeroAssignment = "0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0";

int ReadSystem(link::Link& link, setup::SystemRec& system, int parameter);
int WriteSystem(link::Link& link, const setup::SystemRec& system, int parameter);
void SetSystemParam(setup::SystemRec& system, int parameter, const std::string& value);
long GetSystemParam(const setup::SystemRec& system, int parameter);

int ReadSensor(link::Link& link, SensorTable& sensors, int index, int parameter);
int WriteSensor(link::Link& link, const SensorTable& sensors, int index, int parameter);
int ReadSource(link::Link& link, SourceTable& sources, int index, int parameter);
int WriteSource(link::Link& link, const SourceTable& sources, int index, int parameter);

// which: 1 = inputs (UseInputs), 2 = relays (UseRelays).
int ReadSensorIO(link::Link& link, SensorTable& sensors, int index, int which);
int WriteSensorIO(link::Link& link, const SensorTable& sensors, int index, int which);
int ReadSourceIO(link::Link& link, SourceTable& sources, int index, int which);
int WriteSourceIO(link::Link& link, const SourceTable& sources, int index, int which);

int ReadInput(link::Link& link, InputTable& inputs, int index, int parameter);
int WriteInput(link::Link& link, const InputTable& inputs, int index, int parameter);
int ReadRelay(link::Link& link, RelayTable& relays, int index, int parameter);
int WriteRelay(link::Link& link, const RelayTable& relays, int index, int parameter);

// "GC<index>? 1 2": the two counts of an input.
int ReadIOCounts(link::Link& link, int index, std::int16_t& first, std::int16_t& second);

}  // namespace delvar::commands
