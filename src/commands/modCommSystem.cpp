#include "commands/modCommSystem.h"

#include <array>
#include <climits>

#include "commands/ReplyItems.h"
#include "commands/WireNumbers.h"
#include "util/Format.h"
#include "util/Text.h"

namespace delvar::commands {

namespace {
using setup::SystemRec;

std::string N(long value) {
    return std::to_string(value);
}

// ---- system ----------------------------------------------------------------------

struct SystemParam {
    double SystemRec::*real = nullptr;
    std::int16_t SystemRec::*integer = nullptr;
    int scale = 1;
};

const std::array<SystemParam, 20> kSystemParams = {{
    {&SystemRec::Period, nullptr, 100},       {nullptr, &SystemRec::System_Tooling, 1},
    {nullptr, &SystemRec::Xtool1, 1},         {nullptr, &SystemRec::Xtool2, 1},
    {nullptr, &SystemRec::Simulate_Mode, 1},  {&SystemRec::Min_Freq, nullptr, 10},
    {&SystemRec::Max_Freq, nullptr, 10},      {&SystemRec::Power_Scale_1, nullptr, 10},
    {&SystemRec::Power_Scale_2, nullptr, 10}, {&SystemRec::Power_Scale_3, nullptr, 10},
    {&SystemRec::Power_Scale_4, nullptr, 10}, {nullptr, &SystemRec::Xtool3, 1},
    {nullptr, &SystemRec::Xtool4, 1},         {nullptr, &SystemRec::Alarm_Sound, 1},
    {nullptr, &SystemRec::Alert_Sound, 1},    {nullptr, &SystemRec::Attn_Sound, 1},
    {nullptr, &SystemRec::Dev_Graph, 1},      {nullptr, &SystemRec::Pass_Enable, 1},
    {nullptr, &SystemRec::Password, 1},       {&SystemRec::Alpha, nullptr, 100},
}};

constexpr std::array<int, 11> kTransferredSystemParams = {1, 2, 5, 6, 7, 14, 15, 16, 17, 18, 19};

// ---- sensors and sources -------------------------------------------------------------

// Parameter 1 is the sensor's Tooling (a Long) or the source's Voltage_Scale (tenths).
template <typename Rec>
void SetHardwareParam(Rec& r, int p, const std::string& text) {
    double value = util::LeadingNumber(text);
    switch (p) {
        case 1:
            if constexpr (std::is_same_v<Rec, setup::SensorRec>)
                r.Tooling = ToLong(value);
            else
                r.Voltage_Scale = value / 10;
            break;
        case 2:
            r.Num_Positions = ToLong(value);
            break;
        case 3:
            r.Shutter = ToLong(value);
            break;
        case 4:
            r.Shutter_Delay = value / 1000;
            break;
        case 5:
            r.Control_Type = ToLong(value);
            break;
        case 6:
            r.Drive_Type = ToLong(value);
            break;
        case 7:
            r.Feedback_Type = ToLong(value);
            break;
        case 8:
            r.Indexer_Delay = ToLong(value);
            break;
        case 9:
            r.Current_Position = ToLong(value);
            break;
    }
}

template <typename Rec>
std::string GetHardwareParam(const Rec& r, int p) {
    switch (p) {
        case 1:
            if constexpr (std::is_same_v<Rec, setup::SensorRec>)
                return N(r.Tooling);
            else
                return util::NumberText(r.Voltage_Scale * 10);
        case 2:
            return N(r.Num_Positions);
        case 3:
            return N(r.Shutter);
        case 4:
            return util::NumberText(r.Shutter_Delay * 1000);
        case 5:
            return N(r.Control_Type);
        case 6:
            return N(r.Drive_Type);
        case 7:
            return N(r.Feedback_Type);
        case 8:
            return N(r.Indexer_Delay);
        default:
            return N(r.Current_Position);
    }
}

template <typename TableT>
int ReadHardware(link::Link& link, TableT& table, const char* letters, int index, int parameter) {
    auto* r = table.Find(index);
    if (!r || parameter < 0 || parameter > 9) return link::kBadData;
    std::string command = letters + N(index) + "?";
    command += parameter == 0 ? " 1 2 3 4 5 6 7 8 9" : " " + N(parameter);
    std::string reply = link.SendCommand(command);
    if (link.CommStatus() != link::kOk) return link.CommStatus();
    for (auto& [p, value] : ReplyItems(reply))
        if (p >= 1 && p <= 9) SetHardwareParam(*r, p, value);
    return link::kOk;
}

template <typename TableT>
int WriteHardware(link::Link& link, const TableT& table, const char* letters, int index,
                  int parameter) {
    const auto* r = table.Find(index);
    if (!r || parameter < 0 || parameter > 9) return link::kBadData;
    std::string command = letters + N(index);
    if (parameter == 0) {
        for (int p = 1; p <= 9; ++p) command += " " + N(p) + "," + GetHardwareParam(*r, p);
    } else {
        command += " " + N(parameter) + "," + GetHardwareParam(*r, parameter);
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
    if (parameter < 1 || parameter > 20) return;
    const SystemParam& p = kSystemParams[std::size_t(parameter - 1)];
    double number = util::LeadingNumber(value);
    if (p.integer)
        system.*p.integer = ToInteger(number);
    else if (parameter == 20)
        system.*p.real = number * 0.01;
    else
        system.*p.real = ToInteger(number) / double(p.scale);
}

long GetSystemParam(const SystemRec& system, int parameter) {
    if (parameter < 1 || parameter > 20) return 0;
    const SystemParam& p = kSystemParams[std::size_t(parameter - 1)];
    if (p.integer) return system.*p.integer;
    return util::RoundHalfEven(system.*p.real * p.scale);
}

int ReadSystem(link::Link& link, SystemRec& system, int parameter) {
    if (parameter < 0 || parameter > 19) return link::kBadData;
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
    if (parameter < 0 || parameter > 19) return link::kBadData;
    std::string command = "B";
    if (parameter == 0)
        for (int p : kTransferredSystemParams)
            command += " " + N(p) + "," + N(GetSystemParam(system, p));
    else
        command += " " + N(parameter) + "," + N(GetSystemParam(system, parameter));
    link.SendCommand(command);
    return link.CommStatus();
}

int ReadSensor(link::Link& link, SensorTable& sensors, int index, int parameter) {
    return ReadHardware(link, sensors, "HA", index, parameter);
}
int WriteSensor(link::Link& link, const SensorTable& sensors, int index, int parameter) {
    return WriteHardware(link, sensors, "HA", index, parameter);
}
int ReadSource(link::Link& link, SourceTable& sources, int index, int parameter) {
    return ReadHardware(link, sources, "HB", index, parameter);
}
int WriteSource(link::Link& link, const SourceTable& sources, int index, int parameter) {
    return WriteHardware(link, sources, "HB", index, parameter);
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

int ReadInput(link::Link& link, InputTable& inputs, int index, int parameter) {
    setup::InputRec* r = inputs.Find(index);
    if (!r || parameter < 0 || parameter > 5) return link::kBadData;
    std::string reply = link.SendCommand("GA" + N(index) + "?" +
                                         (parameter == 0 ? " 1 2 3 4 5" : " " + N(parameter)));
    if (link.CommStatus() != link::kOk) return link.CommStatus();
    for (auto& [p, value] : ReplyItems(reply)) {
        double number = util::LeadingNumber(value);
        switch (p) {
            case 1:
                r->Name = setup::FixedName(util::Trim(value));
                break;
            case 2:
                r->Level = ToLong(number);
                break;
            case 3:
                r->Pin = ToLong(number);
                break;
            case 4:
                r->UsedBy = ToLong(number);
                break;
            case 5:
                r->NameMode = ToLong(number);
                break;
        }
    }
    return link::kOk;
}

int WriteInput(link::Link& link, const InputTable& inputs, int index, int parameter) {
    const setup::InputRec* r = inputs.Find(index);
    if (!r || (!(parameter >= 0 && parameter <= 5) && parameter != kAllButUsedBy))
        return link::kBadData;
    const std::string values[] = {
        "", setup::FixedName(r->Name), N(r->Level), N(r->Pin), N(r->UsedBy), N(r->NameMode)};
    std::string command = "GA" + N(index);
    if (parameter == 0 || parameter == kAllButUsedBy) {
        for (int p : {1, 5, 2, 3, 4})
            if (p != 4 || parameter == 0) command += " " + N(p) + "," + values[p];
    } else {
        command += " " + N(parameter) + "," + values[parameter];
    }
    link.SendCommand(command);
    return link.CommStatus();
}

int ReadRelay(link::Link& link, RelayTable& relays, int index, int parameter) {
    setup::RelayRec* r = relays.Find(index);
    if (!r || parameter < 0 || parameter > 7) return link::kBadData;
    std::string reply = link.SendCommand("GB" + N(index) + "?" +
                                         (parameter == 0 ? " 1 2 3 4 5 6 7" : " " + N(parameter)));
    if (link.CommStatus() != link::kOk) return link.CommStatus();
    for (auto& [p, value] : ReplyItems(reply)) {
        double number = util::LeadingNumber(value);
        switch (p) {
            case 1:
                r->Name = setup::FixedName(util::Trim(value));
                break;
            case 2:
                r->Type = ToLong(number);
                break;
            case 3:
                r->Pulses = ToLong(number);
                break;
            case 4:
                r->Width = ToLong(number) / 1000.0;
                break;
            case 5:
                r->Pin = ToLong(number);
                break;
            case 6:
                r->UsedBy = ToLong(number);
                break;
            case 7:
                r->NameMode = ToLong(number);
                break;
        }
    }
    return link::kOk;
}

int WriteRelay(link::Link& link, const RelayTable& relays, int index, int parameter) {
    const setup::RelayRec* r = relays.Find(index);
    if (!r || (!(parameter >= 0 && parameter <= 7) && parameter != kAllButUsedBy))
        return link::kBadData;
    const std::string values[] = {"",
                                  setup::FixedName(r->Name),
                                  N(r->Type),
                                  N(r->Pulses),
                                  util::NumberText(r->Width * 1000),
                                  N(r->Pin),
                                  N(r->UsedBy),
                                  N(r->NameMode)};
    std::string command = "GB" + N(index);
    if (parameter == 0 || parameter == kAllButUsedBy) {
        for (int p : {1, 7, 2, 3, 4, 5, 6})
            if (p != 6 || parameter == 0) command += " " + N(p) + "," + values[p];
    } else {
        command += " " + N(parameter) + "," + values[parameter];
    }
    link.SendCommand(command);
    return link.CommStatus();
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
