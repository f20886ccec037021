// Builds the demo setup database Delvar.mdb: a few named processes (a single-layer
// metal film, an optical stack, a co-deposited layer), films with workable PID and
// preconditioning values, a materials table of real densities and acoustic impedance
// ratios (Z-ratios) as QCM material tables publish them, and the sensors, sources and
// system settings of a small two-source coater.
// usage: delvar-make-demo-setup BLANK_TEMPLATE OUTPUT
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "core/CErrHandler.h"
#include "setup/LayerChains.h"
#include "setup/modDatabase.h"

namespace {

using namespace delvar;

struct Material {
    const char* name;
    double density;  // g/cm3
    double zRatio;
};

constexpr Material kMaterials[] = {
    {"Aluminum", 2.70, 1.08},    {"Gold", 19.3, 0.381},     {"Silver", 10.5, 0.529},
    {"Chromium", 7.20, 0.305},   {"Titanium", 4.50, 0.628}, {"SiO2", 2.65, 1.00},
    {"Copper", 8.93, 0.437},     {"Nickel", 8.91, 0.331},   {"Platinum", 21.4, 0.245},
    {"Palladium", 12.0, 0.357},  {"Tantalum", 16.6, 0.262}, {"Tungsten", 19.3, 0.163},
    {"Molybdenum", 10.2, 0.257}, {"Iron", 7.86, 0.349},     {"Cobalt", 8.90, 0.343},
    {"Germanium", 5.35, 0.516},  {"Silicon", 2.32, 0.712},  {"Indium", 7.30, 0.841},
    {"Tin", 7.30, 0.724},        {"Zinc", 7.04, 0.514},     {"Magnesium", 1.74, 1.61},
    {"TiO2", 4.26, 0.400},       {"Al2O3", 3.97, 0.336},    {"MgF2", 3.18, 0.637},
    {"ZnS", 4.09, 0.775},
};

int MaterialIndex(const char* name) {
    for (std::size_t i = 0; i < std::size(kMaterials); ++i) {
        if (std::string(kMaterials[i].name) == name) return int(i) + 1;
    }
    return 1;
}

class QuietDialogs final : public core::MessageOnlyDialogs {
  public:
    core::MessageAnswer ShowMessage(const core::Message& m) override {
        std::fprintf(stderr, "%s\n", m.text.c_str());
        return core::MessageAnswer::Ok;
    }
};

// A film for material with the control and preconditioning a source of it needs.
void MakeFilm(setup::SetupData& s, int f, const char* name, const char* material, double rise1,
              double rise2) {
    setup::FilmRec& film = s.films[f];
    film.Film_Name = setup::FixedName(name);
    film.Material_Index = std::int16_t(MaterialIndex(material));
    film.Pterm = 40;
    film.Iterm = 1.5;
    film.Dterm = 0;
    film.Tooling = 100;
    film.Ramp1_Power = rise1;
    film.Ramp1_Time = 15;
    film.Soak1_Time = 10;
    film.Ramp2_Power = rise2;
    film.Ramp2_Time = 10;
    film.Soak2_Time = 10;
    film.Shutter_Delay = 30;
    film.Capture = 5;
}

// A layer of film at rate (A/s) to thickness (kA) on output and sensor.
void MakeLayer(setup::SetupData& s, int layer, int film, double rate, double kA, int output) {
    setup::LayerRec& l = s.layers[layer];
    l.Film_Number = std::int16_t(film);
    l.Rate = rate;
    l.Final_Thick = kA;
    l.Output_Number = std::int16_t(output);
    l.Sensor1 = output == 1 ? 1 : 0;
    l.Sensor2 = output == 2 ? 1 : 0;
    l.Max_Power1 = 80;
    l.Slew_Rate1 = 10;
    l.Start_Mode = 0;
    l.Rate_Dev_Attn = 5;
    l.Rate_Dev_Alert = 10;
    l.Rate_Dev_Alarm = 20;
}

// Shutter codes of the sensor and source records.
constexpr int kNoShutter = 0, kDualShutter = 1, kShutter = 2;
constexpr int kSourceShutter = 1;  // a source's list has no "Dual"
// Crystal selection: control, drive and feedback codes.
constexpr int kDirect = 1, kBcd = 2;
constexpr int kDriveUp = 0;
constexpr int kFeedbackHome = 3, kFeedbackBcd = 2;

// Sensor 1 is a six-crystal rotary head stepped directly and homed by a switch, sensor 2
// a single crystal without a shutter, sensors 3 and 4 a dual head sharing one shutter.
void MakeSensors(setup::SetupData& s) {
    for (int n = 1; n <= setup::kMaxChannels; ++n) {
        setup::SensorRec& sensor = s.sensors[n];
        sensor.Tooling = 100;
        sensor.Num_Positions = 1;
        sensor.Current_Position = 1;
    }
    setup::SensorRec& rotary = s.sensors[1];
    rotary.Tooling = 105;
    rotary.Shutter = kShutter;
    rotary.Shutter_Delay = 0.5;
    rotary.Num_Positions = 6;
    rotary.Control_Type = kDirect;
    rotary.Drive_Type = kDriveUp;
    rotary.Feedback_Type = kFeedbackHome;
    rotary.Indexer_Delay = 3;
    s.sensors[2].Tooling = 92;
    for (int n : {3, 4}) {
        s.sensors[n].Shutter = kDualShutter;
        s.sensors[n].Shutter_Delay = 0.2;
    }
}

// Source 1 is a four-pocket electron-beam gun whose hearth is turned by BCD-coded
// pocket selection, source 2 a thermal boat; both 0 to 10 V. Sources 3 and 4 are spare
// 5 V outputs without shutters.
void MakeSources(setup::SetupData& s) {
    for (int n = 1; n <= setup::kMaxChannels; ++n) {
        setup::SourceRec& source = s.sources[n];
        source.Voltage_Scale = n <= 2 ? 10 : 5;
        source.Num_Positions = 1;
        source.Current_Position = 1;
    }
    setup::SourceRec& gun = s.sources[1];
    gun.Shutter = kSourceShutter;
    gun.Shutter_Delay = 1.0;
    gun.Num_Positions = 4;
    gun.Control_Type = kBcd;
    gun.Feedback_Type = kFeedbackBcd;
    gun.Indexer_Delay = 5;
    s.sources[2].Shutter = kSourceShutter;
    s.sources[2].Shutter_Delay = 0.5;
}

void MakeSystem(setup::SystemRec& system) {
    system.Period = 0.25;
    system.System_Tooling = 100;
    system.Min_Freq = 5.0;
    system.Max_Freq = 6.1;
    system.Dev_Graph = 10;
    system.Pass_Enable = 0;
    system.Password = 5937;
    system.Alarm_Sound = 1;
    system.Alert_Sound = 1;
    system.Attn_Sound = 0;
}

void MakeDemo(setup::SetupData& s) {
    for (std::size_t i = 0; i < std::size(kMaterials); ++i) {
        setup::MaterialRec& m = s.materials[int(i) + 1];
        m.Material = setup::FixedName(kMaterials[i].name);
        m.Density = kMaterials[i].density;
        m.ZFactor = kMaterials[i].zRatio;
    }
    MakeFilm(s, 1, "Aluminum", "Aluminum", 20, 30);
    MakeFilm(s, 2, "Gold", "Gold", 25, 35);
    MakeFilm(s, 3, "Chromium", "Chromium", 25, 40);
    MakeFilm(s, 4, "TiO2", "TiO2", 30, 45);
    MakeFilm(s, 5, "SiO2", "SiO2", 20, 30);
    MakeFilm(s, 6, "Silver", "Silver", 20, 30);

    s.processes[1].Process_Name = setup::FixedName("Al mirror");
    MakeLayer(s, setup::InsertLayer(s, 1, 0), 1, 15, 1.0, 1);

    s.processes[2].Process_Name = setup::FixedName("AR stack");
    int after = 0;
    for (int k = 0; k < 4; ++k) {
        after = setup::InsertLayer(s, 2, after);
        MakeLayer(s, after, k % 2 == 0 ? 4 : 5, 3, k % 2 == 0 ? 0.55 : 0.95, 1);
    }

    s.processes[3].Process_Name = setup::FixedName("Cr-Au contact");
    const int chromium = setup::InsertLayer(s, 3, 0);
    MakeLayer(s, chromium, 3, 2, 0.1, 1);
    MakeLayer(s, setup::InsertLayer(s, 3, chromium), 2, 10, 1.5, 2);

    s.processes[4].Process_Name = setup::FixedName("AgAu CoDep");
    const int top = setup::InsertLayer(s, 4, 0);
    MakeLayer(s, top, 6, 8, 0.5, 1);
    MakeLayer(s, setup::InsertCoDepLayer(s, 4, top), 2, 2, 0.125, 2);

    MakeSensors(s);
    MakeSources(s);
    MakeSystem(s.system);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: delvar-make-demo-setup BLANK_TEMPLATE OUTPUT\n");
        return 2;
    }
    QuietDialogs dialogs;
    const std::string scratch = std::filesystem::temp_directory_path().string();
    core::CErrHandler errors(dialogs, core::AppInfo{}, scratch + "/delvar-demo-errors.txt",
                             scratch);
    setup::NoProgress progress;
    auto data = std::make_unique<setup::SetupData>();
    setup::ResetSetupData(*data);
    MakeDemo(*data);
    setup::DatabaseOptions options;
    options.blankTemplate = argv[1];
    setup::modDatabase database(*data, {dialogs, errors, progress}, options);
    return database.DBSave(argv[2]) ? 0 : 1;
}
