#include "commands/modCommFilm.h"

#include <algorithm>
#include <climits>
#include <map>
#include <vector>

#include "commands/WireNumbers.h"
#include "util/Format.h"
#include "util/Text.h"

namespace delvar::commands {

namespace {
using setup::FilmRec;

struct FilmParam {
    double FilmRec::*real = nullptr;
    std::int16_t FilmRec::*integer = nullptr;
    int scale = 1;  // 10 for the tenths fields
};

FilmParam R(double FilmRec::*m, int scale = 1) {
    return {m, nullptr, scale};
}
FilmParam I(std::int16_t FilmRec::*m) {
    return {nullptr, m, 1};
}

// Film parameters by code (group * 100 + number).
const std::map<int, FilmParam>& FilmParams() {
    static const std::map<int, FilmParam> params = {
        {201, R(&FilmRec::Pterm)},
        {202, R(&FilmRec::Iterm, 10)},
        {203, R(&FilmRec::Dterm, 10)},
        {204, I(&FilmRec::Material_Index)},
        {205, I(&FilmRec::Pocket)},
        {206, I(&FilmRec::Tooling)},
        {207, I(&FilmRec::Quality_Dev)},
        {208, I(&FilmRec::Stability_Single)},
        {210, I(&FilmRec::Quality_Cts)},
        {211, I(&FilmRec::Stability_Total)},
        {301, R(&FilmRec::Ramp1_Power, 10)},
        {302, R(&FilmRec::Ramp1_Time)},
        {303, R(&FilmRec::Soak1_Time)},
        {304, R(&FilmRec::Ramp2_Power, 10)},
        {305, R(&FilmRec::Ramp2_Time)},
        {306, R(&FilmRec::Soak2_Time)},
        {307, R(&FilmRec::Idle_Power, 10)},
        {308, R(&FilmRec::Idle_Ramp_Time)},
        {309, R(&FilmRec::Feed_Power, 10)},
        {310, R(&FilmRec::Feed_Ramp)},
        {311, R(&FilmRec::Feed_Time)},
        {312, R(&FilmRec::Ramp3_Power, 10)},
        {313, R(&FilmRec::Ramp3_Time)},
        {314, R(&FilmRec::Soak3_Time)},
        {315, R(&FilmRec::Ramp4_Power, 10)},
        {316, R(&FilmRec::Ramp4_Time)},
        {317, R(&FilmRec::Soak4_Time)},
        {318, R(&FilmRec::Feed2_Power, 10)},
        {319, R(&FilmRec::Feed2_Ramp)},
        {320, R(&FilmRec::Feed2_Time)},
        {321, R(&FilmRec::Feed3_Power, 10)},
        {322, R(&FilmRec::Feed3_Ramp)},
        {323, R(&FilmRec::Feed3_Time)},
        {401, R(&FilmRec::Shutter_Delay)},
        {402, R(&FilmRec::Capture, 10)},
        {403, I(&FilmRec::Control_Error)},
        {404, R(&FilmRec::Control_Error_Percent, 10)},
        {405, I(&FilmRec::Sampling)},
        {406, R(&FilmRec::Sample_Accuracy, 10)},
        {407, I(&FilmRec::Sample_Hold)},
        {408, I(&FilmRec::Sample_Time)},
        {409, I(&FilmRec::Control_Delay)},
        {501, I(&FilmRec::Sens1_Fail)},
        {502, I(&FilmRec::Sens1_Pos)},
        {503, I(&FilmRec::Sens1_Back)},
        {504, I(&FilmRec::Sens1_BkPos)},
        {505, I(&FilmRec::Sens2_Fail)},
        {506, I(&FilmRec::Sens2_Pos)},
        {507, I(&FilmRec::Sens2_Back)},
        {508, I(&FilmRec::Sens2_BkPos)},
        {509, I(&FilmRec::Sens3_Fail)},
        {510, I(&FilmRec::Sens3_Pos)},
        {511, I(&FilmRec::Sens3_Back)},
        {512, I(&FilmRec::Sens3_BkPos)},
        {513, I(&FilmRec::Sens4_Fail)},
        {514, I(&FilmRec::Sens4_Pos)},
        {515, I(&FilmRec::Sens4_Back)},
        {516, I(&FilmRec::Sens4_BkPos)},
    };
    return params;
}

// Parameter numbers each group carries (A2 number 9 never travels).
std::vector<int> GroupNumbers(int group, int channels, bool writing) {
    switch (group) {
        case 2:
            return {1, 2, 3, 4, 5, 6, 7, 8, 10, 11};
        case 3:
            return {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        case 4:
            if (writing) return {1, 2, 3, 4, 5, 6, 7, 8, 9};
            return {1, 2, 3, 4, 5, 6, 7, 8};
        default: {
            std::vector<int> numbers(channels == 4 ? 16 : 8);
            for (std::size_t i = 0; i < numbers.size(); ++i) numbers[i] = int(i) + 1;
            return numbers;
        }
    }
}

std::string Head(int group, int film) {
    return "A" + std::to_string(group) + " " + std::to_string(film);
}
}  // namespace

void SetFilmParam(FilmRec& film, int code, const std::string& value) {
    if (code == 101) {
        film.Film_Name = setup::FixedName(util::Trim(value));
        return;
    }
    auto it = FilmParams().find(code);
    if (it == FilmParams().end()) return;
    const FilmParam& p = it->second;
    double number = util::LeadingNumber(value);
    if (p.integer)
        film.*p.integer = ToInteger(number);
    else if (p.scale == 10)
        film.*p.real = number * 0.1;
    else
        film.*p.real = ToInteger(number);
}

std::string GetFilmParam(const FilmRec& film, int code) {
    if (code == 101) return setup::FixedName(film.Film_Name);
    auto it = FilmParams().find(code);
    if (it == FilmParams().end()) return "";
    const FilmParam& p = it->second;
    if (p.integer) return std::to_string(film.*p.integer);
    if (p.scale == 10) return std::to_string(util::RoundHalfEven(film.*p.real * 10));
    return util::NumberText(film.*p.real);
}

int ReadFilm(link::Link& link, setup::SetupData& setup, int film) {
    FilmRec* record = setup.films.Find(film);
    if (!record) return link::kBadData;
    std::string name = link.SendCommand(Head(1, film) + "?");
    if (link.CommStatus() != link::kOk) return link.CommStatus();
    record->Film_Name = setup::FixedName(util::Trim(name));
    for (int group = 2; group <= 5; ++group) {
        std::string command = Head(group, film) + "?";
        for (int n : GroupNumbers(group, link.Info().ChannelCount, false))
            command += " " + std::to_string(n);
        std::string reply = link.SendCommand(command);
        if (link.CommStatus() != link::kOk) return link.CommStatus();
        const int items = util::FieldCount(reply, ' ');
        for (int i = 1; i <= items; ++i) {
            std::string value;
            std::string number = util::SplitFirst(util::GetField(reply, i, ' '), value, ',');
            long p = 0;
            if (util::ParseWholeNumber(number, p) && p >= 1 && p <= 99)
                SetFilmParam(*record, group * 100 + int(p), value);
        }
    }
    return link::kOk;
}

int WriteFilm(link::Link& link, const setup::SetupData& setup, int film) {
    const FilmRec* record = setup.films.Find(film);
    if (!record) return link::kBadData;
    link.SendCommand(Head(1, film) + " " + util::Trim(record->Film_Name));
    if (link.CommStatus() != link::kOk) return link.CommStatus();
    for (int group = 2; group <= 5; ++group) {
        std::string command = Head(group, film);
        for (int n : GroupNumbers(group, link.Info().ChannelCount, true))
            command += " " + std::to_string(n) + "," + GetFilmParam(*record, group * 100 + n);
        link.SendCommand(command);
        // A failed group ends the write, A4 included, so no later group goes out
        // on top of a half-written film.
        if (link.CommStatus() != link::kOk) return link.CommStatus();
    }
    return link::kOk;
}

int CheckFilmModel(const link::InstrumentInfo& info, const setup::SetupData& setup, int film) {
    const FilmRec* record = setup.films.Find(film);
    if (!record || info.ChannelCount >= 4) return link::kOk;
    if (record->Sens1_Back > 2 || record->Sens2_Back > 2) return link::kFourChannelsRequired;
    return link::kOk;
}

namespace {
bool AskRetry(core::DialogService& dialogs, const std::string& text) {
    return dialogs.ShowMessage({text, "Delvar Comm", core::MessageIcon::None,
                                core::MessageButtons::YesNo}) == core::MessageAnswer::Yes;
}

int ReadMaterialParam(link::Link& link, core::DialogService& dialogs, setup::MaterialRec& m,
                      int index, int p) {
    const std::string command = "F" + std::to_string(index) + "? " + std::to_string(p);
    for (;;) {
        std::string reply = link.SendCommand(command);
        if (link.CommStatus() != link::kOk) return link.CommStatus();
        if (p == 1) {
            std::string name = util::Trim(reply);
            if (!name.empty()) {
                m.Material = setup::FixedName(name);
                return link::kOk;
            }
            if (!AskRetry(dialogs,
                          "Material # " + std::to_string(index) + " name upload failed.  Retry?"))
                return link::kOk;
            continue;
        }
        std::string rest;
        const double factor = p == 2 ? 0.01 : 0.001;
        double value = util::LeadingNumber(util::SplitFirst(reply, rest, ' ')) * factor;
        const bool ok = p == 2 ? (value >= 0.4 && value < 100) : (value >= 0.1 && value < 10);
        if (ok) {
            (p == 2 ? m.Density : m.ZFactor) = value;
            return link::kOk;
        }
        if (!AskRetry(dialogs, setup::FixedName(m.Material) +
                                   (p == 2 ? " Density = " : " ZFactor = ") +
                                   util::NumberText(value) + " upload failed.  Retry?"))
            return link::kOk;
    }
}

int WriteMaterialParam(link::Link& link, core::DialogService& dialogs, const setup::MaterialRec& m,
                       int index, int p) {
    const std::string name = setup::FixedName(m.Material);
    std::string value = p == 1   ? name
                        : p == 2 ? std::to_string(util::RoundHalfEven(m.Density * 100))
                                 : std::to_string(util::RoundHalfEven(m.ZFactor * 1000));
    const std::string question =
        p == 1   ? name + " material name download failed.  Retry?"
        : p == 2 ? name + " Density = " + util::NumberText(m.Density) + " download failed.  Retry?"
                 : name + " ZFactor = " + util::NumberText(m.ZFactor) + " download failed.  Retry?";
    for (;;) {
        link.SendCommand("F" + std::to_string(index) + " " + std::to_string(p) + "," + value);
        if (link.CommStatus() == link::kOk) return link::kOk;
        if (!AskRetry(dialogs, question)) return link.CommStatus();
    }
}
}  // namespace

int ReadMaterial(link::Link& link, core::DialogService& dialogs, setup::SetupData& setup,
                 int material, int parameter) {
    setup::MaterialRec* m = setup.materials.Find(material);
    if (!m || parameter < 0 || parameter > 3) return link::kBadData;
    for (int p = parameter == 0 ? 1 : parameter; p <= (parameter == 0 ? 3 : parameter); ++p)
        if (int result = ReadMaterialParam(link, dialogs, *m, material, p); result != 0)
            return result;
    return link::kOk;
}

int WriteMaterial(link::Link& link, core::DialogService& dialogs, const setup::SetupData& setup,
                  int material, int parameter) {
    const setup::MaterialRec* m = setup.materials.Find(material);
    if (!m || parameter < 0 || parameter > 3) return link::kBadData;
    for (int p = parameter == 0 ? 1 : parameter; p <= (parameter == 0 ? 3 : parameter); ++p)
        if (int result = WriteMaterialParam(link, dialogs, *m, material, p); result != 0)
            return result;
    return link::kOk;
}

}  // namespace delvar::commands
