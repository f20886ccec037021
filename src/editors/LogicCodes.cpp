#include "editors/LogicCodes.h"

#include <array>
#include <limits>
#include <string_view>

namespace delvar::editors {

namespace {

using Names = std::span<const char* const>;

// One run of codes and how each is named: from a list, as prefix + number + suffix
// with number = code - offset, as prefix + group + infix + position for groups of 16
// (crystal positions, pockets), or as the number code - offset (timer values).
struct CodeRun {
    enum Kind { List, Numbered, Grouped, Value };
    std::int32_t first, last;
    Kind kind;
    const char* prefix = "";
    std::int32_t offset = 0;
    const char* suffix = "";  // Grouped: the text between group and position
    Names names = {};
};

constexpr CodeRun Listed(std::int32_t first, Names names) {
    return {first, first + std::int32_t(names.size()) - 1, CodeRun::List, "", 0, "", names};
}
constexpr CodeRun Numbered(std::int32_t first, std::int32_t last, const char* prefix,
                           const char* suffix = "") {
    return {first, last, CodeRun::Numbered, prefix, first - 1, suffix};
}
constexpr CodeRun Grouped(std::int32_t first, const char* prefix, const char* infix) {
    return {first, first + 63, CodeRun::Grouped, prefix, first, infix};
}

constexpr const char* kOperators[] = {"AND", "OR", "NOT", "(", ")", ">", "<"};
constexpr const char* kAllSensors[] = {"All_Fail", "All_Good", "Shutter_1/2", "Shutter_3/4"};
constexpr const char* kStates[] = {
    "Stopped",        "Crystal_Verify", "Init_Layer",   "Manual_Start",   "Rotate_Crystal",
    "Rotate_Pocket",  "PreCondition",   "Soak_Hold",    "Shutter_Delay",  "Deposit",
    "Timed_Power",    "Crystal_Switch", "Next_Crystal", "Feed_Ramp",      "Idle_Ramp",
    "Next_Layer",     "Crystal_Fail",   "Stop_Layer",   "Sensor_Timeout", "Source_Timeout",
    "Sns_Fdback_Err", "Src_Fdback_Err", "Bad_Xtal_Pos", "Bad_Pocket_Pos"};
constexpr const char* kEvents[] = {
    "Simulate",       "Manual_Power", "Interlocked",    "Last_Layer",   "Process_Hold",
    "Process_Active", "Process_Stop", "ShtrDelay Err.", "Thick_SetPt.", "Final_Thick.",
    "Time_SetPt.",    "Soak_Hold",    "Rate_Dev_Alm.",  "MaxPwr_Alm.",  "MaxRate_Alm"};

const std::array kIfRuns{
    Listed(3, kOperators),
    Numbered(101, 116, "Input"),
    Numbered(201, 216, "Relay"),
    Numbered(301, 308, "SoftNode"),
    Numbered(401, 408, "Timer"),
    Numbered(501, 504, "Sens", "_Enabled"),
    Numbered(505, 508, "Sens", "_Shutter"),
    Numbered(509, 512, "Sens", "_Fail"),
    Listed(513, kAllSensors),
    Numbered(517, 520, "Sens", "_Timeout"),
    Numbered(601, 604, "Src", "_Enabled"),
    Numbered(605, 608, "Src", "_Shutter"),
    Numbered(609, 612, "Src", "_Timeout"),
    Listed(701, kStates),
    Listed(801, kEvents),
    Grouped(901, "Sens", "_Xtal"),
    Grouped(1001, "Src", "_Pckt"),
    Numbered(1101, 1199, "Process"),
    Numbered(1201, 1299, "Layer"),
    Numbered(1301, 1350, "Film"),
    CodeRun{kTimerValueBase, std::numeric_limits<std::int32_t>::max(), CodeRun::Value, "",
            kTimerValueBase},
};

constexpr const char* kGeneral[] = {"No_Action", "Manual", "Hold_State", "Exit_State", "Interlock"};
constexpr const char* kAlarms[] = {"Sound_Alarm", "Sound_Alert", "Sound_Attention"};
constexpr const char* kProcess[] = {"Start_Process", "Reset_Process"};
constexpr const char* kLayer[] = {"Start_Layer",    "Next_Layer", "Stop_Layer", "Force_Final_Thk",
                                  "Zero_Thickness", "Zero_Time",  "Soak_Hold"};

const std::array kThenRuns{
    Listed(1, kGeneral),
    Numbered(101, 104, "Sens", "_XtalSw"),
    Numbered(105, 108, "Sens", "_Next_Xtal"),
    Numbered(109, 112, "Src", "_Next_Pkt"),
    Numbered(201, 216, "Relay"),
    Numbered(301, 308, "SoftNode"),
    Numbered(401, 408, "Start_Timer"),
    Listed(501, kAlarms),
    Listed(601, kProcess),
    Numbered(603, 702, "Process"),
    Listed(801, kLayer),
};

constexpr LogicCategory kIfCategories[] = {
    {"Inputs", 101},       {"Relays", 201},        {"SoftNodes", 301},     {"Timers", 401},
    {"Timer Value", 1401}, {"Sensors", 501},       {"Sources", 601},       {"States", 701},
    {"Events", 801},       {"Crystal Index", 901}, {"Pocket Index", 1001}, {"Processes", 1101},
    {"Layers", 1201},      {"Films", 1301}};
constexpr LogicCategory kThenCategories[] = {
    {"General", 1},  {"Sens & Srcs", 101}, {"Relays", 201},  {"SoftNodes", 301},
    {"Timers", 401}, {"Alarms", 501},      {"Process", 601}, {"Layer", 801}};

template <std::size_t N>
std::string TextIn(const std::array<CodeRun, N>& runs, std::int32_t code) {
    for (const CodeRun& run : runs) {
        if (code < run.first || code > run.last) continue;
        const std::int32_t at = code - run.first;
        switch (run.kind) {
            case CodeRun::List:
                return run.names[std::size_t(at)];
            case CodeRun::Numbered:
                return run.prefix + std::to_string(code - run.offset) + run.suffix;
            case CodeRun::Grouped:
                return run.prefix + std::to_string(at / 16 + 1) + run.suffix +
                       std::to_string(at % 16 + 1);
            case CodeRun::Value:
                return std::to_string(code - run.offset);
        }
    }
    return "";
}

}  // namespace

std::string IfText(std::int32_t code) {
    return TextIn(kIfRuns, code);
}

std::string ThenText(std::int32_t code) {
    return TextIn(kThenRuns, code);
}

std::string CodeText(LogicPart part, std::int32_t code) {
    return part == LogicPart::If ? IfText(code) : ThenText(code);
}

std::span<const LogicCategory> Categories(LogicPart part) {
    if (part == LogicPart::If) return kIfCategories;
    return kThenCategories;
}

std::vector<std::string> SelectList(LogicPart part, std::int32_t base) {
    std::vector<std::string> texts;
    if (part == LogicPart::If && base == kTimerValueBase) return texts;
    // Every category ends well below this; the bound keeps a table slip from running on.
    constexpr std::int32_t kLongestList = 200;
    for (std::int32_t code = base; code < base + kLongestList; ++code) {
        std::string text = CodeText(part, code);
        if (text.empty()) break;
        texts.push_back(std::move(text));
    }
    return texts;
}

int TermCount(const setup::LogicRec& statement) {
    int count = 0;
    while (count < setup::kLogicTerms && statement.IF[std::size_t(count)] > 0) ++count;
    return count;
}

std::string ConditionText(const setup::LogicRec& statement) {
    std::string text;
    for (int t = 0; t < TermCount(statement); ++t) {
        if (t > 0) text += ' ';
        text += IfText(statement.IF[std::size_t(t)]);
    }
    return text;
}

}  // namespace delvar::editors
