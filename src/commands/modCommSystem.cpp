#include "commands/modCommSystem.h"

#include <array>
#include <vector>

#include "commands/ParamTable.h"
#include "commands/ReplyItems.h"

namespace delvar::commands {

namespace {
using setup::InputRec;
using setup::RelayRec;
using setup::SensorRec;
using setup::SourceRec;
using setup::SystemRec;

std::string N(long value) {
    return std::to_string(value);
}

// ---- system ----------------------------------------------------------------------

// The received number is taken whole before the scale comes off (Alpha excepted).
WireParam<SystemRec> Scaled(double SystemRec::*m, int scale) {
    return ScaledParam(m, scale, true);
}

const ParamTable<SystemRec> kSystemParams({
    Scaled(&SystemRec::Period, 100),       WholeParam(&SystemRec::System_Tooling),
    WholeParam(&SystemRec::Xtool1),        WholeParam(&SystemRec::Xtool2),
    WholeParam(&SystemRec::Simulate_Mode), Scaled(&SystemRec::Min_Freq, 10),
    Scaled(&SystemRec::Max_Freq, 10),      Scaled(&SystemRec::Power_Scale_1, 10),
    Scaled(&SystemRec::Power_Scale_2, 10), Scaled(&SystemRec::Power_Scale_3, 10),
    Scaled(&SystemRec::Power_Scale_4, 10), WholeParam(&SystemRec::Xtool3),
    WholeParam(&SystemRec::Xtool4),        WholeParam(&SystemRec::Alarm_Sound),
    WholeParam(&SystemRec::Alert_Sound),   WholeParam(&SystemRec::Attn_Sound),
    WholeParam(&SystemRec::Dev_Graph),     WholeParam(&SystemRec::Pass_Enable),
    WholeParam(&SystemRec::Password),      ScaledParam(&SystemRec::Alpha, 100),
});

constexpr std::array<int, 11> kTransferredSystemParams = {1, 2, 5, 6, 7, 14, 15, 16, 17, 18, 19};
constexpr int kLastTransferredSystemParam = 19;

// ---- sensors, sources, inputs and relays -------------------------------------------

// A record command of the "letters index? p p ..." / "letters index p,value ..." form.
template <class Rec>
struct RecordCommand {
    const char* letters;
    ParamTable<Rec> params;
    std::vector<int> writeOrder;  // the items of a whole-record write, in order
    int usedBy = 0;               // the item kAllButUsedBy leaves out (0: none)
};

const RecordCommand<SensorRec> kSensorCommand{
    "HA",
    {WholeParam(&SensorRec::Tooling), WholeParam(&SensorRec::Num_Positions),
     WholeParam(&SensorRec::Shutter), ScaledParam(&SensorRec::Shutter_Delay, 1000),
     WholeParam(&SensorRec::Control_Type), WholeParam(&SensorRec::Drive_Type),
     WholeParam(&SensorRec::Feedback_Type), WholeParam(&SensorRec::Indexer_Delay),
     WholeParam(&SensorRec::Current_Position)},
    {1, 2, 3, 4, 5, 6, 7, 8, 9}};

const RecordCommand<SourceRec> kSourceCommand{
    "HB",
    {ScaledParam(&SourceRec::Voltage_Scale, 10), WholeParam(&SourceRec::Num_Positions),
     WholeParam(&SourceRec::Shutter), ScaledParam(&SourceRec::Shutter_Delay, 1000),
     WholeParam(&SourceRec::Control_Type), WholeParam(&SourceRec::Drive_Type),
     WholeParam(&SourceRec::Feedback_Type), WholeParam(&SourceRec::Indexer_Delay),
     WholeParam(&SourceRec::Current_Position)},
    {1, 2, 3, 4, 5, 6, 7, 8, 9}};

const RecordCommand<InputRec> kInputCommand{
    "GA",
    {NameParam(&InputRec::Name), WholeParam(&InputRec::Level), WholeParam(&InputRec::Pin),
     WholeParam(&InputRec::UsedBy), WholeParam(&InputRec::NameMode)},
    {1, 5, 2, 3, 4},
    4};

const RecordCommand<RelayRec> kRelayCommand{
    "GB",
    {NameParam(&RelayRec::Name), WholeParam(&RelayRec::Type), WholeParam(&RelayRec::Pulses),
     ScaledParam(&RelayRec::Width, 1000, true), WholeParam(&RelayRec::Pin),
     WholeParam(&RelayRec::UsedBy), WholeParam(&RelayRec::NameMode)},
    {1, 7, 2, 3, 4, 5, 6},
    6};

template <class Rec, class TableT>
int ReadRecord(link::Link& link, const RecordCommand<Rec>& cmd, TableT& table, int index,
               int parameter) {
    Rec* r = table.Find(index);
    const int last = cmd.params.Last();
    if (!r || parameter < 0 || parameter > last) return link::kBadData;
    std::string command = cmd.letters + N(index) + "?";
    if (parameter == 0)
        for (int p = 1; p <= last; ++p) command += " " + N(p);
    else
        command += " " + N(parameter);
    std::string reply = link.SendCommand(command);
    if (link.CommStatus() != link::kOk) return link.CommStatus();
    for (auto& [p, value] : ReplyItems(reply)) cmd.params.Store(*r, p, value);
    return link::kOk;
}

template <class Rec, class TableT>
int WriteRecord(link::Link& link, const RecordCommand<Rec>& cmd, const TableT& table, int index,
                int parameter) {
    const Rec* r = table.Find(index);
    const bool allButUsedBy = cmd.usedBy != 0 && parameter == kAllButUsedBy;
    if (!r || (!allButUsedBy && (parameter < 0 || parameter > cmd.params.Last())))
        return link::kBadData;
    std::string command = cmd.letters + N(index);
    if (parameter == 0 || allButUsedBy) {
        for (int p : cmd.writeOrder)
            if (!(allButUsedBy && p == cmd.usedBy))
                command += " " + N(p) + "," + cmd.params.Text(*r, p);
    } else {
        command += " " + N(parameter) + "," + cmd.params.Text(*r, parameter);
    }
    link.SendCommand(command);
    return link.CommStatus();
}

template <typename TableT>
int ReadAssignment(link::Link& link, TableT& table, const char* letters, int index, int which) {
    auto* r = table.Find(index);
    if (!r || (which != 1 && which != 2)) return link::kBadData;
    std::string reply = link.SendCommand(letters + N(index) + "? " + N(which));
    if (link.CommStatus() != link::kOk) return link.CommStatus();
    (which == 1 ? r->UseInputs : r->UseRelays) = reply.size() > 2 ? reply.substr(2) : "";
    return link::kOk;
}

template <typename TableT>
int WriteAssignment(link::Link& link, const TableT& table, const char* letters, int index,
                    int which) {
    const auto* r = table.Find(index);
    if (!r || (which != 1 && which != 2)) return link::kBadData;
    // A shorter string than a full assignment (16 numbers) goes out as all zeros.
    constexpr std::size_t kComplete = 31;
    const std::string& text = which == 1 ? r->UseInputs : r->UseRelays;
    link.SendCommand(letters + N(index) + " " + N(which) + "," +
                     (text.size() >= kComplete ? text : std::string(kZeroAssignment)));
    return link.CommStatus();
}
}  // namespace

void SetSystemParam(SystemRec& system, int parameter, const std::string& value) {
    kSystemParams.Store(system, parameter, value);
}

long GetSystemParam(const SystemRec& system, int parameter) {
    return kSystemParams.Value(system, parameter);
}

int ReadSystem(link::Link& link, SystemRec& system, int parameter) {
    if (parameter < 0 || parameter > kLastTransferredSystemParam) return link::kBadData;
    std::string command = "B? ";
    if (parameter == 0)
        for (int p : kTransferredSystemParams) command += " " + N(p);
    else
        command += " " + N(parameter);
    std::string reply = link.SendCommand(command);
    if (link.CommStatus() != link::kOk) return link.CommStatus();
    if (parameter != 0) {
        SetSystemParam(system, parameter, ValueAfterComma(reply));
        return link::kOk;
    }
    for (auto& [p, value] : ReplyItems(reply)) SetSystemParam(system, p, value);
    return link::kOk;
}

int WriteSystem(link::Link& link, const SystemRec& system, int parameter) {
    if (parameter < 0 || parameter > kLastTransferredSystemParam) return link::kBadData;
    std::string command = "B";
    if (parameter == 0)
        for (int p : kTransferredSystemParams)
            command += " " + N(p) + "," + kSystemParams.Text(system, p);
    else
        command += " " + N(parameter) + "," + kSystemParams.Text(system, parameter);
    link.SendCommand(command);
    return link.CommStatus();
}

int ReadSensor(link::Link& link, SensorTable& sensors, int index, int parameter) {
    return ReadRecord(link, kSensorCommand, sensors, index, parameter);
}
int WriteSensor(link::Link& link, const SensorTable& sensors, int index, int parameter) {
    return WriteRecord(link, kSensorCommand, sensors, index, parameter);
}
int ReadSource(link::Link& link, SourceTable& sources, int index, int parameter) {
    return ReadRecord(link, kSourceCommand, sources, index, parameter);
}
int WriteSource(link::Link& link, const SourceTable& sources, int index, int parameter) {
    return WriteRecord(link, kSourceCommand, sources, index, parameter);
}
int ReadInput(link::Link& link, InputTable& inputs, int index, int parameter) {
    return ReadRecord(link, kInputCommand, inputs, index, parameter);
}
int WriteInput(link::Link& link, const InputTable& inputs, int index, int parameter) {
    return WriteRecord(link, kInputCommand, inputs, index, parameter);
}
int ReadRelay(link::Link& link, RelayTable& relays, int index, int parameter) {
    return ReadRecord(link, kRelayCommand, relays, index, parameter);
}
int WriteRelay(link::Link& link, const RelayTable& relays, int index, int parameter) {
    return WriteRecord(link, kRelayCommand, relays, index, parameter);
}

int ReadSensorIO(link::Link& link, SensorTable& sensors, int index, int which) {
    return ReadAssignment(link, sensors, "HE", index, which);
}
int WriteSensorIO(link::Link& link, const SensorTable& sensors, int index, int which) {
    return WriteAssignment(link, sensors, "HE", index, which);
}
int ReadSourceIO(link::Link& link, SourceTable& sources, int index, int which) {
    return ReadAssignment(link, sources, "HF", index, which);
}
int WriteSourceIO(link::Link& link, const SourceTable& sources, int index, int which) {
    return WriteAssignment(link, sources, "HF", index, which);
}

int ReadIOCounts(link::Link& link, int index, std::int16_t& first, std::int16_t& second) {
    if (!InputTable::Valid(index)) return link::kBadData;
    std::string reply = link.SendCommand("GC" + N(index) + "? 1 2");
    if (link.CommStatus() != link::kOk) return link.CommStatus();
    std::string rest = reply;
    util::SplitFirst(rest, rest, ',');
    first = ToInteger(util::LeadingNumber(util::SplitFirst(rest, rest, ' ')));
    util::SplitFirst(rest, rest, ',');
    second = ToInteger(util::LeadingNumber(util::SplitFirst(rest, rest, ' ')));
    return link::kOk;
}

}  // namespace delvar::commands
