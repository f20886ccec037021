#include "commands/modCommFilm.h"

#include <vector>

#include "commands/ParamTable.h"
#include "util/Format.h"
#include "util/Text.h"

namespace delvar::commands {

namespace {
using setup::FilmRec;

// Scale-10 fields: the received number is divided by 10.
WireParam<FilmRec> Tenths(double FilmRec::*m) {
    return ScaledParam(m, 10);
}
// The other floating fields travel as whole numbers.
WireParam<FilmRec> Whole(double FilmRec::*m) {
    return ScaledParam(m, 1, true);
}

// Film parameters by code (group * 100 + number); 101 is the name.
const ParamTable<FilmRec> kFilmParams({
    {101, NameParam(&FilmRec::Film_Name)},
    {201, Whole(&FilmRec::Pterm)},
    {202, Tenths(&FilmRec::Iterm)},
    {203, Tenths(&FilmRec::Dterm)},
    {204, WholeParam(&FilmRec::Material_Index)},
    {205, WholeParam(&FilmRec::Pocket)},
    {206, WholeParam(&FilmRec::Tooling)},
    {207, WholeParam(&FilmRec::Quality_Dev)},
    {208, WholeParam(&FilmRec::Stability_Single)},
    {210, WholeParam(&FilmRec::Quality_Cts)},
    {211, WholeParam(&FilmRec::Stability_Total)},
    {301, Tenths(&FilmRec::Ramp1_Power)},
    {302, Whole(&FilmRec::Ramp1_Time)},
    {303, Whole(&FilmRec::Soak1_Time)},
    {304, Tenths(&FilmRec::Ramp2_Power)},
    {305, Whole(&FilmRec::Ramp2_Time)},
    {306, Whole(&FilmRec::Soak2_Time)},
    {307, Tenths(&FilmRec::Idle_Power)},
    {308, Whole(&FilmRec::Idle_Ramp_Time)},
    {309, Tenths(&FilmRec::Feed_Power)},
    {310, Whole(&FilmRec::Feed_Ramp)},
    {311, Whole(&FilmRec::Feed_Time)},
    {312, Tenths(&FilmRec::Ramp3_Power)},
    {313, Whole(&FilmRec::Ramp3_Time)},
    {314, Whole(&FilmRec::Soak3_Time)},
    {315, Tenths(&FilmRec::Ramp4_Power)},
    {316, Whole(&FilmRec::Ramp4_Time)},
    {317, Whole(&FilmRec::Soak4_Time)},
    {318, Tenths(&FilmRec::Feed2_Power)},
    {319, Whole(&FilmRec::Feed2_Ramp)},
    {320, Whole(&FilmRec::Feed2_Time)},
    {321, Tenths(&FilmRec::Feed3_Power)},
    {322, Whole(&FilmRec::Feed3_Ramp)},
    {323, Whole(&FilmRec::Feed3_Time)},
    {401, Whole(&FilmRec::Shutter_Delay)},
    {402, Tenths(&FilmRec::Capture)},
    {403, WholeParam(&FilmRec::Control_Error)},
    {404, Tenths(&FilmRec::Control_Error_Percent)},
    {405, WholeParam(&FilmRec::Sampling)},
    {406, Tenths(&FilmRec::Sample_Accuracy)},
    {407, WholeParam(&FilmRec::Sample_Hold)},
    {408, WholeParam(&FilmRec::Sample_Time)},
    {409, WholeParam(&FilmRec::Control_Delay)},
    {501, WholeParam(&FilmRec::Sens1_Fail)},
    {502, WholeParam(&FilmRec::Sens1_Pos)},
    {503, WholeParam(&FilmRec::Sens1_Back)},
    {504, WholeParam(&FilmRec::Sens1_BkPos)},
    {505, WholeParam(&FilmRec::Sens2_Fail)},
    {506, WholeParam(&FilmRec::Sens2_Pos)},
    {507, WholeParam(&FilmRec::Sens2_Back)},
    {508, WholeParam(&FilmRec::Sens2_BkPos)},
    {509, WholeParam(&FilmRec::Sens3_Fail)},
    {510, WholeParam(&FilmRec::Sens3_Pos)},
    {511, WholeParam(&FilmRec::Sens3_Back)},
    {512, WholeParam(&FilmRec::Sens3_BkPos)},
    {513, WholeParam(&FilmRec::Sens4_Fail)},
    {514, WholeParam(&FilmRec::Sens4_Pos)},
    {515, WholeParam(&FilmRec::Sens4_Back)},
    {516, WholeParam(&FilmRec::Sens4_BkPos)},
});

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
    kFilmParams.Store(film, code, value);
}

std::string GetFilmParam(const FilmRec& film, int code) {
    return kFilmParams.Text(film, code);
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
using setup::MaterialRec;

const ParamTable<MaterialRec> kMaterialParams({
    NameParam(&MaterialRec::Material),
    ScaledParam(&MaterialRec::Density, 100),
    ScaledParam(&MaterialRec::ZFactor, 1000),
});

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
        // Divided rather than multiplied by 0.01: 35 becomes 0.35, not 0.35000000000000003.
        const double scale = p == 2 ? 100 : 1000;
        double value = util::LeadingNumber(util::SplitFirst(reply, rest, ' ')) / scale;
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
    const std::string value = kMaterialParams.Text(m, p);
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
