#include "setup/SetupData.h"

#include "util/Text.h"

namespace delvar::setup {

std::string FixedName(std::string_view name) {
    // Once every character is one byte, 16 bytes are 16 characters.
    std::string fixed = util::PrintableAscii(name);
    fixed.resize(kNameLength, ' ');
    return fixed;
}

std::string WordName(std::string_view name) {
    // Only what the instrument takes: printable ASCII without commas (a comma would
    // end the reply item). A tab or line break counts as a blank.
    std::string kept;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\t' || c == '\r' || c == '\n')
            kept.push_back(' ');
        else if (c >= 0x20 && c < 0x7F && c != ',')
            kept.push_back(ch);
    }
    // Cut before the blanks become "_", so no "_" ends a name that was cut at a blank.
    std::string word = util::Trim(kept);
    if (word.size() > std::size_t(kNameLength)) word = util::Trim(word.substr(0, kNameLength));
    return FixedName(util::ReplaceChar(word, ' ', "_"));
}

void ResetSetupData(SetupData& setup) {
    for (int n = 1; n <= kMaxProcesses; ++n) {
        ProcessRec& p = setup.processes[n];
        p.Process_Name = FixedName("Process " + std::to_string(n));
        p.First_Layer = -1;
        p.Number_Layers = 0;
        p.Number_Act_Layers = 0;
    }
    for (LayerRec& l : setup.layers) {
        l.Layer_Deleted = 1;
        l.Film_Number = -1;
        l.Next_Layer = -1;
        l.CoDep_Layer = -1;
        l.Start_Mode = 1;
        l.Output_Number = 1;
        l.Sensor1 = 1;
        l.Sensor2 = l.Sensor3 = l.Sensor4 = 0;
        l.Max_Power1 = 25;
        l.Slew_Rate1 = 25;
        l.FS_Rate = 10;
        l.FS_Thick = 10;
    }
    for (int n = 1; n <= kMaxFilms; ++n) {
        FilmRec film;  // every other film value 0
        film.Film_Name = FixedName("Film " + std::to_string(n));
        film.Material_Index = 1;
        film.Tooling = 100;
        setup.films[n] = film;
    }
    for (int n = 1; n <= kMaxMaterials; ++n) {
        MaterialRec& m = setup.materials[n];
        m.Material = FixedName("Material " + std::to_string(n));
        m.Density = 1.0;
        m.ZFactor = 1.0;
    }
    SystemRec& s = setup.system;
    s.Period = 0.25;
    s.Simulate_Mode = 0;
    s.System_Tooling = 100;
    s.Min_Freq = 5.0;
    s.Max_Freq = 6.1;
    s.Xtool1 = s.Xtool2 = s.Xtool3 = s.Xtool4 = 100;
    s.Power_Scale_1 = s.Power_Scale_2 = s.Power_Scale_3 = s.Power_Scale_4 = 5.0;
    s.Alpha = 1.0;
    for (LogicRec& logic : setup.logic) logic.Name = FixedName("<Empty>");
}

}  // namespace delvar::setup
