// The working data of the sensor and source editors: the four sensor (or source)
// records with the 16 inputs and 16 relays, each as a working copy and a backup copy,
// moved to and from the instrument one channel at a time. Both record kinds behind
// one face, addressed by the editors' grid rows.
#pragma once

#include <memory>

#include "commands/modCommSystem.h"
#include "link/Link.h"
#include "setup/SetupData.h"

namespace delvar::editors {

enum class ChannelKind { Sensors, Sources };

// The rows of the sensor and source grids; kFirst is Tooling or Voltage_Scale.
enum ChannelRow {
    kFirst,
    kShutter,
    kDelay,
    kPositions,
    kCurrent,
    kControl,
    kDrive,
    kFeedback,
    kIndexer,
    kChannelRows
};

class ChannelRecords {
  public:
    virtual ~ChannelRecords() = default;
    virtual void Load(const setup::SetupData& setup) = 0;   // into the working copy
    virtual void Store(setup::SetupData& setup) const = 0;  // from the working copy
    // A field of the working copy; Set rounds the whole-number fields (halves to even).
    virtual double Get(int channel, int row) const = 0;
    virtual void Set(int channel, int row, double value) = 0;
    // ReadSensor/WriteSensor (or the source's), parameter 0, on either copy.
    virtual int Read(link::Link& link, bool backup, int channel) = 0;
    virtual int Write(link::Link& link, bool backup, int channel) = 0;
    virtual void Backup() = 0;   // working copy -> backup, all three tables
    virtual void Restore() = 0;  // backup -> working copy

    commands::InputTable inputs, backupInputs;
    commands::RelayTable relays, backupRelays;
};

std::unique_ptr<ChannelRecords> MakeChannelRecords(ChannelKind kind);

}  // namespace delvar::editors
