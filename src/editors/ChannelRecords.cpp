#include "editors/ChannelRecords.h"

#include <array>
#include <cstdint>
#include <type_traits>

#include "util/Text.h"

namespace delvar::editors {

namespace {

template <typename Rec>
class RecordsOf final : public ChannelRecords {
  public:
    using Table = setup::Table<Rec, setup::kMaxChannels>;
    using Move = int (*)(link::Link&, Table&, int, int);
    using Send = int (*)(link::Link&, const Table&, int, int);
    RecordsOf(Table setup::SetupData::*table, Move read, Send write)
        : table_(table), read_(read), write_(write) {}

    void Load(const setup::SetupData& setup) override {
        work_ = setup.*table_;
        inputs = setup.inputs;
        relays = setup.relays;
    }
    void Store(setup::SetupData& setup) const override {
        setup.*table_ = work_;
        setup.inputs = inputs;
        setup.relays = relays;
    }
    double Get(int channel, int row) const override {
        const Rec& r = work_[channel];
        if (row == kFirst) return First(r);
        if (row == kDelay) return r.Shutter_Delay;
        return r.*kWhole[std::size_t(row)];
    }
    void Set(int channel, int row, double value) override {
        Rec& r = work_[channel];
        if (row == kDelay) {
            r.Shutter_Delay = value;
        } else if (row == kFirst) {
            // The sensor's tooling is a whole number; the source's voltage as typed.
            if constexpr (std::is_same_v<Rec, setup::SensorRec>)
                r.Tooling = std::int32_t(util::RoundHalfEven(value));
            else
                r.Voltage_Scale = value;
        } else {
            r.*kWhole[std::size_t(row)] = std::int32_t(util::RoundHalfEven(value));
        }
    }
    int Read(link::Link& link, bool backup, int channel) override {
        return read_(link, backup ? backup_ : work_, channel, 0);
    }
    int Write(link::Link& link, bool backup, int channel) override {
        return write_(link, backup ? backup_ : work_, channel, 0);
    }
    void Backup() override {
        backup_ = work_;
        backupInputs = inputs;
        backupRelays = relays;
    }
    void Restore() override {
        work_ = backup_;
        inputs = backupInputs;
        relays = backupRelays;
    }

  private:
    static double First(const Rec& r) {
        if constexpr (std::is_same_v<Rec, setup::SensorRec>)
            return r.Tooling;
        else
            return r.Voltage_Scale;
    }
    // The whole-number field of each row; rows kFirst and kDelay are handled apart.
    static constexpr std::array<std::int32_t Rec::*, kChannelRows> kWhole = {nullptr,
                                                                             &Rec::Shutter,
                                                                             nullptr,
                                                                             &Rec::Num_Positions,
                                                                             &Rec::Current_Position,
                                                                             &Rec::Control_Type,
                                                                             &Rec::Drive_Type,
                                                                             &Rec::Feedback_Type,
                                                                             &Rec::Indexer_Delay};

    Table setup::SetupData::*table_;
    Move read_;
    Send write_;
    Table work_, backup_;
};

}  // namespace

std::unique_ptr<ChannelRecords> MakeChannelRecords(ChannelKind kind) {
    if (kind == ChannelKind::Sensors)
        return std::make_unique<RecordsOf<setup::SensorRec>>(
            &setup::SetupData::sensors, commands::ReadSensor, commands::WriteSensor);
    return std::make_unique<RecordsOf<setup::SourceRec>>(
        &setup::SetupData::sources, commands::ReadSource, commands::WriteSource);
}

}  // namespace delvar::editors
