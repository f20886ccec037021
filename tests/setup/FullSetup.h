// A setup in which every field of every record holds its own value and every
// process has a chain of layers with a CoDep group: the subject of the database
// round trips and benchmarks. Values are chosen so the reading rules leave them as
// they are (names without commas or "_", indexes from 1, non-zero power limits).
#pragma once

#include <string>

#include "setup/LayerChains.h"
#include "setup/SetupData.h"

namespace delvar::testing {

inline constexpr int kLayersPerProcess = 10;

inline void FillLayer(setup::LayerRec& l, int n) {
    const double b = n * 0.5;
    l.Rate = b + 0.1, l.Final_Thick = b + 0.2, l.Time_Setpoint = b + 3, l.Thick_Limit = b + 0.4;
    l.Output_Number = std::int16_t(n % 4 + 1);
    l.Max_Power1 = b + 5, l.Slew_Rate1 = b + 6;
    l.Sensor1 = 1, l.Sensor2 = std::int16_t(n % 2), l.Sensor3 = 0, l.Sensor4 = -1;
    l.Ramp1_Enabled = 1, l.Ramp1_Start = b + 7, l.Ramp1_Rate = b + 8, l.Ramp1_Time = b + 9;
    l.Ramp2_Enabled = 0, l.Ramp2_Start = b + 10, l.Ramp2_Rate = b + 11, l.Ramp2_Time = b + 12;
    l.Film_Number = std::int16_t(n % 50 + 1);
    l.Start_Mode = std::int16_t(n % 3);
    l.Min_Power1 = b + 13, l.Pwr_Alarm_Dev = b + 14;
    l.Rate_Dev_Attn = b + 15, l.Rate_Dev_Alert = b + 16, l.Rate_Dev_Alarm = b + 17;
    l.Ramp3_Enabled = double(n % 2), l.Ramp3_Start = b + 18, l.Ramp3_Rate = b + 19;
    l.Ramp3_Time = b + 20, l.FS_Rate = b + 21, l.FS_Thick = b + 22;
    l.Ramp4_Enabled = 1, l.Ramp4_Start = b + 23, l.Ramp4_Rate = b + 24, l.Ramp4_Time = b + 25;
}

inline void FillFilm(setup::FilmRec& f, int n) {
    const double b = n + 0.25;
    f.Film_Name = setup::FixedName("Film name " + std::to_string(n));
    f.Pterm = b, f.Iterm = b + 1, f.Dterm = b + 2;
    f.Material_Index = std::int16_t(n % 100 + 1), f.Pocket = std::int16_t(n % 8);
    f.Tooling = std::int16_t(100 + n), f.Quality_Dev = std::int16_t(n % 99);
    f.Quality_Cts = std::int16_t(n % 98 + 1), f.Stability_Single = std::int16_t(25 + n);
    f.Stability_Total = std::int16_t(30 + n), f.Crystal_Fail = std::int16_t(n % 5);
    f.Ramp1_Power = b + 3, f.Ramp1_Time = b + 4, f.Soak1_Time = b + 5;
    f.Idle_Power = b + 6, f.Idle_Ramp_Time = b + 7;
    f.Feed_Power = b + 8, f.Feed_Ramp = b + 9, f.Feed_Time = b + 10;
    f.Shutter_Delay = b + 11, f.Capture = b + 12, f.Control_Error = std::int16_t(n % 3);
    f.Control_Error_Percent = b + 13, f.Sampling = std::int16_t(n % 3);
    f.Sample_Accuracy = b + 14, f.Sample_Hold = std::int16_t(n + 1);
    f.Sample_Time = std::int16_t(n + 2);
    std::int16_t* sensors[] = {&f.Sens1_Fail, &f.Sens1_Pos, &f.Sens1_Back, &f.Sens1_BkPos,
                               &f.Sens2_Fail, &f.Sens2_Pos, &f.Sens2_Back, &f.Sens2_BkPos,
                               &f.Sens3_Fail, &f.Sens3_Pos, &f.Sens3_Back, &f.Sens3_BkPos,
                               &f.Sens4_Fail, &f.Sens4_Pos, &f.Sens4_Back, &f.Sens4_BkPos};
    for (int k = 0; k < 16; ++k) *sensors[k] = std::int16_t(n * 16 + k);
    f.Ramp2_Power = b + 15, f.Ramp2_Time = b + 16, f.Soak2_Time = b + 17;
    f.Ramp3_Power = b + 18, f.Ramp3_Time = b + 19, f.Soak3_Time = b + 20;
    f.Ramp4_Power = b + 21, f.Ramp4_Time = b + 22, f.Soak4_Time = b + 23;
    f.Feed2_Power = b + 24, f.Feed2_Ramp = b + 25, f.Feed2_Time = b + 26;
    f.Feed3_Power = b + 27, f.Feed3_Ramp = b + 28, f.Feed3_Time = b + 29;
    f.Control_Delay = std::int16_t(n + 3);
}

template <class Channel>
void FillChannel(Channel& c, int n) {
    c.UseRelays = "1:2:3:4:5:6:7:8:9:10:11:12:13:14:15:" + std::to_string(n);
    c.UseInputs = std::to_string(n) + ":0:0:0:0:0:0:0:0:0:0:0:0:0:0:1";
    c.Shutter = n + 1, c.Shutter_Delay = n + 0.125, c.Num_Positions = n + 2;
    c.Current_Position = n + 3, c.Control_Type = n + 4, c.Feedback_Type = n + 5;
    c.Indexer_Delay = n + 6;  // Drive_Type has no column and keeps its default
}

// Layers of process p: a top layer with a CoDep partner, then top layers chained by
// Next_Layer, kLayersPerProcess in all (fewer for the last process, which ends at 999).
inline void ChainProcess(setup::SetupData& s, int p) {
    const int first = (p - 1) * kLayersPerProcess + 1;
    const int last = std::min(first + kLayersPerProcess - 1, setup::kMaxLayers);
    for (int l = first; l <= last; ++l) {
        FillLayer(s.layers[l], l);
        s.layers[l].Layer_Deleted = 0;
        s.layers[l].Next_Layer = std::int16_t(l < last ? l + 1 : -1);
        s.layers[l].CoDep_Layer = -1;
    }
    s.layers[first].Next_Layer = -1;  // first and second form a CoDep group
    s.layers[first].CoDep_Layer = std::int16_t(first + 1);
    s.processes[p].First_Layer = std::int16_t(first);
    setup::RecountProcess(s, p);
}

inline void FillFullSetup(setup::SetupData& s) {
    setup::ResetSetupData(s);
    for (int p = 1; p <= setup::kMaxProcesses; ++p) {
        s.processes[p].Process_Name = setup::FixedName("Proc " + std::to_string(p) + " x");
        ChainProcess(s, p);
    }
    for (int f = 1; f <= setup::kMaxFilms; ++f) FillFilm(s.films[f], f);
    for (int m = 1; m <= setup::kMaxMaterials; ++m) {
        s.materials[m].Material = setup::FixedName("Mat " + std::to_string(m));
        s.materials[m].Density = 1 + m * 0.01, s.materials[m].ZFactor = 0.5 + m * 0.001;
    }
    for (int n = 1; n <= setup::kMaxChannels; ++n) {
        FillChannel(s.sensors[n], n);
        s.sensors[n].Tooling = 90 + n;
        FillChannel(s.sources[n], n + 10);
        s.sources[n].Voltage_Scale = -n - 0.5;
    }
    for (int n = 1; n <= setup::kMaxIo; ++n) {
        s.inputs[n] = {setup::WordName("In " + std::to_string(n)), n, n % 2, n + 1, n + 2};
        s.relays[n] = {
            setup::WordName("Out " + std::to_string(n)), n, n % 2, n % 3, n * 0.25, n + 4, n + 5};
    }
    for (int n = 1; n <= setup::kMaxLogic; ++n) {
        setup::LogicRec& logic = s.logic[n];
        logic.Name = setup::WordName("Rule " + std::to_string(n));
        logic.Defined = std::int16_t(n % 2);
        for (int k = 0; k < setup::kLogicTerms; ++k) logic.IF[std::size_t(k)] = n * 100 + k;
        logic.THEN = 70000 + n;  // beyond 16 bits: the column is Long
    }
    setup::SystemRec& y = s.system;
    y.Period = 0.5, y.Simulate_Mode = 1, y.System_Tooling = 123, y.Min_Freq = 5.25;
    y.Max_Freq = 6.125, y.Dev_Graph = 2, y.Baud = 9600, y.Pass_Enable = 1, y.Password = 4321;
    y.Alarm_Sound = 1, y.Alert_Sound = 0, y.Attn_Sound = 1;
    y.Xtool1 = 101, y.Xtool2 = 102, y.Xtool3 = 103, y.Xtool4 = 104;
    y.Power_Scale_1 = 1.5, y.Power_Scale_2 = 2.5, y.Power_Scale_3 = 3.5, y.Power_Scale_4 = 4.5;
    y.Alpha = 2.35;
}

}  // namespace delvar::testing
