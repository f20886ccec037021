// The whole instrument setup in memory: fixed tables of records indexed from 1,
// the same numbers the instrument commands and the database rows use.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace delvar::setup {

inline constexpr int kNameLength = 16;

// A name as the instrument takes it: every character outside printable ASCII made
// "?", then cut or padded with blanks to exactly 16 characters.
std::string FixedName(std::string_view name);

// An input, relay or logic statement name, which the instrument ends at a blank:
// commas and characters outside printable ASCII dropped, trimmed, cut at 16
// characters, each blank inside made "_", padded to 16. Used where such a name
// enters (database open, typing in the editors).
std::string WordName(std::string_view name);

// A table whose valid numbers are 1..N. Numbers from replies and files go through
// Find(), which refuses anything outside the table.
template <typename Record, int N>
class Table {
  public:
    static constexpr int kSize = N;
    static constexpr bool Valid(long number) { return number >= 1 && number <= N; }
    Record& operator[](int number) { return records_.at(std::size_t(number - 1)); }
    const Record& operator[](int number) const { return records_.at(std::size_t(number - 1)); }
    Record* Find(long number) {
        return Valid(number) ? &records_[std::size_t(number - 1)] : nullptr;
    }
    const Record* Find(long number) const {
        return Valid(number) ? &records_[std::size_t(number - 1)] : nullptr;
    }
    auto begin() { return records_.begin(); }
    auto end() { return records_.end(); }
    auto begin() const { return records_.begin(); }
    auto end() const { return records_.end(); }

  private:
    std::array<Record, N> records_{};
};

struct ProcessRec {
    std::string Process_Name = FixedName("");
    std::int16_t Number_Layers = 0;
    std::int16_t First_Layer = -1;
    std::int16_t Number_Act_Layers = 0;
    friend bool operator==(const ProcessRec&, const ProcessRec&) = default;
};

struct LayerRec {
    double Rate = 0, Final_Thick = 0, Time_Setpoint = 0, Thick_Limit = 0;
    std::int16_t Output_Number = 1;
    double Max_Power1 = 25, Slew_Rate1 = 25;
    std::int16_t Sensor1 = 1, Sensor2 = 0, Sensor3 = 0, Sensor4 = 0;
    double Ramp1_Enabled = 0, Ramp1_Start = 0, Ramp1_Rate = 0, Ramp1_Time = 0;
    double Ramp2_Enabled = 0, Ramp2_Start = 0, Ramp2_Rate = 0, Ramp2_Time = 0;
    std::int16_t Film_Number = -1;
    std::int16_t Next_Layer = -1;
    std::int16_t CoDep_Layer = -1;
    std::int16_t Start_Mode = 1;
    std::int16_t Layer_Deleted = 1;
    double Min_Power1 = 0, Pwr_Alarm_Dev = 0;
    double Rate_Dev_Attn = 0, Rate_Dev_Alert = 0, Rate_Dev_Alarm = 0;
    double Ramp3_Enabled = 0, Ramp3_Start = 0, Ramp3_Rate = 0, Ramp3_Time = 0;
    double FS_Rate = 10, FS_Thick = 10;
    double Ramp4_Enabled = 0, Ramp4_Start = 0, Ramp4_Rate = 0, Ramp4_Time = 0;
    friend bool operator==(const LayerRec&, const LayerRec&) = default;
};

struct FilmRec {
    std::string Film_Name = FixedName("");
    double Pterm = 0, Iterm = 0, Dterm = 0;
    std::int16_t Material_Index = 1, Pocket = 0, Tooling = 100;
    std::int16_t Quality_Dev = 0, Quality_Cts = 0, Stability_Single = 0, Stability_Total = 0;
    std::int16_t Crystal_Fail = 0;
    double Ramp1_Power = 0, Ramp1_Time = 0, Soak1_Time = 0;
    double Idle_Power = 0, Idle_Ramp_Time = 0;
    double Feed_Power = 0, Feed_Ramp = 0, Feed_Time = 0;
    double Shutter_Delay = 0, Capture = 0;
    std::int16_t Control_Error = 0;
    double Control_Error_Percent = 0;
    std::int16_t Sampling = 0;
    double Sample_Accuracy = 0;
    std::int16_t Sample_Hold = 0, Sample_Time = 0;
    std::int16_t Sens1_Fail = 0, Sens1_Pos = 0, Sens1_Back = 0, Sens1_BkPos = 0;
    std::int16_t Sens2_Fail = 0, Sens2_Pos = 0, Sens2_Back = 0, Sens2_BkPos = 0;
    std::int16_t Sens3_Fail = 0, Sens3_Pos = 0, Sens3_Back = 0, Sens3_BkPos = 0;
    std::int16_t Sens4_Fail = 0, Sens4_Pos = 0, Sens4_Back = 0, Sens4_BkPos = 0;
    double Ramp2_Power = 0, Ramp2_Time = 0, Soak2_Time = 0;
    double Ramp3_Power = 0, Ramp3_Time = 0, Soak3_Time = 0;
    double Ramp4_Power = 0, Ramp4_Time = 0, Soak4_Time = 0;
    double Feed2_Power = 0, Feed2_Ramp = 0, Feed2_Time = 0;
    double Feed3_Power = 0, Feed3_Ramp = 0, Feed3_Time = 0;
    std::int16_t Control_Delay = 0;
    friend bool operator==(const FilmRec&, const FilmRec&) = default;
};

struct MaterialRec {
    std::string Material = FixedName("");
    double Density = 1.0;
    double ZFactor = 1.0;
    friend bool operator==(const MaterialRec&, const MaterialRec&) = default;
};

// Sensors and sources share one layout; Tooling is the sensor's, Voltage_Scale the source's.
struct SensorRec {
    std::string UseRelays;
    std::string UseInputs;
    std::int32_t Tooling = 0;
    std::int32_t Shutter = 0;
    double Shutter_Delay = 0;
    std::int32_t Num_Positions = 0, Current_Position = 0;
    std::int32_t Control_Type = 0, Drive_Type = 0, Feedback_Type = 0, Indexer_Delay = 0;
    friend bool operator==(const SensorRec&, const SensorRec&) = default;
};

struct SourceRec {
    std::string UseRelays;
    std::string UseInputs;
    double Voltage_Scale = 0;
    std::int32_t Shutter = 0;
    double Shutter_Delay = 0;
    std::int32_t Num_Positions = 0, Current_Position = 0;
    std::int32_t Control_Type = 0, Drive_Type = 0, Feedback_Type = 0, Indexer_Delay = 0;
    friend bool operator==(const SourceRec&, const SourceRec&) = default;
};

struct InputRec {
    std::string Name = FixedName("");
    std::int32_t NameMode = 0, Level = 0, Pin = 0, UsedBy = 0;
    friend bool operator==(const InputRec&, const InputRec&) = default;
};

struct RelayRec {
    std::string Name = FixedName("");
    std::int32_t NameMode = 0, Type = 0, Pulses = 0;
    double Width = 0;
    std::int32_t Pin = 0, UsedBy = 0;
    friend bool operator==(const RelayRec&, const RelayRec&) = default;
};

inline constexpr int kLogicTerms = 16;

struct LogicRec {
    std::string Name = FixedName("");
    std::int16_t Defined = 0;
    std::array<std::int32_t, kLogicTerms> IF{};
    std::int32_t THEN = 0;
    friend bool operator==(const LogicRec&, const LogicRec&) = default;
};

struct SystemRec {
    double Period = 0.25;
    std::int16_t Simulate_Mode = 0;
    std::int16_t System_Tooling = 100;
    double Min_Freq = 5.0;  // MHz
    double Max_Freq = 6.1;  // MHz
    std::int16_t Dev_Graph = 0, Baud = 0, Pass_Enable = 0, Password = 0;
    std::int16_t Alarm_Sound = 0, Alert_Sound = 0, Attn_Sound = 0;
    std::int16_t Xtool1 = 100, Xtool2 = 100, Xtool3 = 100, Xtool4 = 100;
    double Power_Scale_1 = 5.0, Power_Scale_2 = 5.0, Power_Scale_3 = 5.0, Power_Scale_4 = 5.0;
    double Alpha = 1.0;
    friend bool operator==(const SystemRec&, const SystemRec&) = default;
};

inline constexpr int kMaxProcesses = 99;
inline constexpr int kMaxLayers = 999;
inline constexpr int kMaxFilms = 50;
inline constexpr int kMaxMaterials = 100;
inline constexpr int kMaxChannels = 4;
inline constexpr int kMaxIo = 16;
inline constexpr int kMaxLogic = 32;

struct SetupData {
    Table<ProcessRec, kMaxProcesses> processes;
    Table<LayerRec, kMaxLayers> layers;
    Table<FilmRec, kMaxFilms> films;
    Table<MaterialRec, kMaxMaterials> materials;
    Table<SensorRec, kMaxChannels> sensors;
    Table<SourceRec, kMaxChannels> sources;
    Table<InputRec, kMaxIo> inputs;
    Table<RelayRec, kMaxIo> relays;
    Table<LogicRec, kMaxLogic> logic;
    SystemRec system;
};

// Every record back to its defaults: numbered names, free layer slots, unit factors.
void ResetSetupData(SetupData& setup);

}  // namespace delvar::setup
