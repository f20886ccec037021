#include "editors/FilmEditor.h"

#include <cstdint>
#include <optional>

#include "app/AppTitle.h"
#include "commands/modCommFilm.h"
#include "commands/modCommProcess.h"
#include "editors/Procedure.h"
#include "editors/TimeText.h"
#include "editors/TypedName.h"
#include "editors/TypedNumber.h"
#include "link/Frame.h"
#include "transfer/TransferBracket.h"
#include "util/Format.h"
#include "util/Text.h"

namespace delvar::editors {

using setup::FilmRec;

namespace {

// A film field of either stored type; integer fields keep the value rounded.
struct Field {
    double FilmRec::*real = nullptr;
    std::int16_t FilmRec::*whole = nullptr;
    double Get(const FilmRec& f) const { return real ? f.*real : f.*whole; }
    void Set(FilmRec& f, double v) const {
        if (real)
            f.*real = v;
        else
            f.*whole = static_cast<std::int16_t>(util::RoundHalfEven(v));
    }
};
Field R(double FilmRec::*m) {
    return {m, nullptr};
}
Field W(std::int16_t FilmRec::*m) {
    return {nullptr, m};
}

enum class Kind { Number, Time, List };
using Choices = std::vector<std::string>;

struct Row {
    const char* caption;  // nullptr: a hidden row
    Field field;
    Kind kind = Kind::Number;
    const char* pattern = nullptr;  // display pattern of numbers; nullptr: plain number
    double min = 0, max = 0;
    const char* message = nullptr;
    const char* tooltip = "";
    const char* zeroText = "0";        // what an entry of value 0 becomes
    const Choices* choices = nullptr;  // list rows
    int listBase = 0;                  // stored value of the first list item
    bool stability = false;            // 0, or 25 to 9999
};

Choices Numbers(int last) {
    Choices c;
    for (int n = 1; n <= last; ++n) c.push_back(std::to_string(n));
    return c;
}
const Choices kSixteen = Numbers(16);
const Choices kFour = Numbers(4);
const Choices kControlError = {"Ignore", "Stop", "Hold"};
const Choices kSampling = {"Cont.", "Acc.", "Time"};
const Choices kFail = {"Halt", "HaltLast", "Time Pwr", "NextXtal", "Switch", "Backup"};

constexpr const char* kPercent = "Valid Percent values are 0 to 100";

Row Number(const char* caption, Field f, const char* pattern, double min, double max,
           const char* message, const char* tip, const char* zero = "0") {
    Row r{caption, f};
    r.pattern = pattern;
    r.min = min;
    r.max = max;
    r.message = message;
    r.tooltip = tip;
    r.zeroText = zero;
    return r;
}
Row Time(const char* caption, Field f, const char* tip) {
    Row r{caption, f, Kind::Time};
    r.message = kTimeMessage;
    r.tooltip = tip;
    return r;
}
Row List(const char* caption, Field f, const Choices& choices, int base, const char* tip) {
    Row r{caption, f, Kind::List};
    r.choices = &choices;
    r.listBase = base;
    r.tooltip = tip;
    return r;
}
Row Stability(const char* caption, Field f, const char* message, const char* tip) {
    Row r = Number(caption, f, nullptr, 0, 9999, message, tip);
    r.stability = true;
    return r;
}

const std::vector<Row> kFilmRows = {
    Number("P Term", R(&FilmRec::Pterm), nullptr, 0, 999, "Valid P Term values are 0 to 999",
           "Proportional gain of control loop."),
    Number("I Term", R(&FilmRec::Iterm), "#0.0", 0, 99.9, "Valid I Term values are 0 to 99.9",
           "Integral time constant of control loop."),
    Number("D Term", R(&FilmRec::Dterm), "#0.0", 0, 99.9, "Valid D Term values are 0 to 99.9",
           "Derivative time constant of control loop."),
    Number("Tooling", W(&FilmRec::Tooling), nullptr, 10, 399, "Valid Tooling values are 10 to 399",
           "Compensates for QCM sensor location.", "100"),
    List("Pocket", W(&FilmRec::Pocket), kSixteen, 0, "Selects source indexer pocket for material."),
    Number("Quality % Dev.", W(&FilmRec::Quality_Dev), nullptr, 0, 99,
           "Valid Quality Deviation values are 0 (disable) to 99",
           "Rate deviation (0-99%) that increments counter. Zero disables"),
    Number("Quality Counts", W(&FilmRec::Quality_Cts), nullptr, 0, 99,
           "Valid Quality Count values are 0 (disable) to 99",
           "Counts (0-99) that triggers an error. Zero disables."),
    Stability("Stability Single", W(&FilmRec::Stability_Single),
              "Valid Stability, Single values are 0 (disable), and 25 to 9999 Hz.",
              "Single positive frequency (25-9999 Hz) that triggers error. Zero disables"),
    Stability("Stability Total", W(&FilmRec::Stability_Total),
              "Valid Stability, Total values are 0 (disable), and 25 to 9999 Hz.",
              "Accumulated frequency shifts (25-9999 Hz) that triggers error. Zero disables"),
    Time("Shutter Delay", R(&FilmRec::Shutter_Delay),
         "Time allowed to achieve capture accuracy. Zero disables."),
    Number("Capture", R(&FilmRec::Capture), "#0.0", 0, 100, kPercent,
           "Control accuracy to open the source shutter.", "0.0"),
    Time(nullptr, W(&FilmRec::Control_Delay),
         "Time allowed to achieve control accuracy. Zero disables."),
    List("Control Error", W(&FilmRec::Control_Error), kControlError, 0,
         "Action taken when control error occurs."),
    Number("Ctrl Error %", R(&FilmRec::Control_Error_Percent), "#0.0", 0, 100, kPercent,
           "Allowable deviation from loop setpoint.", "0.0"),
    List("Rate Sample", W(&FilmRec::Sampling), kSampling, 0,
         "Type of rate sampling. Cont(inuous) is constant measurement."),
    Number("Sample Acc. %", R(&FilmRec::Sample_Accuracy), "#0.0", 0, 100, kPercent,
           "Sample to achieve this rate deviation in accuracy-based.", "0.0"),
    Time("Sample Time", W(&FilmRec::Sample_Time), "Sample for this time in time-based sampling."),
    Time("Hold Time", W(&FilmRec::Sample_Hold), "Hold for this time in time-based sampling."),
};

Row Power(const char* caption, double FilmRec::*f, const char* tip) {
    return Number(caption, R(f), "#0.0", 0, 100, "Valid Power values are 0 to 100", tip);
}

const std::vector<Row> kA3Rows = {
    Power("Ramp1 Pwr", &FilmRec::Ramp1_Power, "Power level for first preconditioning."),
    Time("Ramp1 Time", R(&FilmRec::Ramp1_Time), "Time to ramp to Ramp1 Power."),
    Time("Soak1 Time", R(&FilmRec::Soak1_Time), "Time to hold Ramp1 Power."),
    Power("Ramp2 Pwr", &FilmRec::Ramp2_Power, "Power level for second preconditioning."),
    Time("Ramp2 Time", R(&FilmRec::Ramp2_Time), "Time to ramp to Ramp2 Power."),
    Time("Soak2 Time", R(&FilmRec::Soak2_Time), "Time to hold Ramp2 Power."),
    Power(nullptr, &FilmRec::Ramp3_Power, ""),
    Time(nullptr, R(&FilmRec::Ramp3_Time), "Time to ramp to Ramp3 Power."),
    Time(nullptr, R(&FilmRec::Soak3_Time), "Time to hold Ramp3 Power."),
    Power(nullptr, &FilmRec::Ramp4_Power, ""),
    Time(nullptr, R(&FilmRec::Ramp4_Time), "Time to ramp to Ramp4 Power."),
    Time(nullptr, R(&FilmRec::Soak4_Time), "Time to hold Ramp4 Power."),
    Power("Feed Pwr", &FilmRec::Feed_Power, "Power level for wire Feed phase."),
    Time("Feed Ramp", R(&FilmRec::Feed_Ramp), "Time to ramp to Feed Power."),
    Time("Feed Time", R(&FilmRec::Feed_Time), "Time to hold to Feed Power."),
    Power(nullptr, &FilmRec::Feed2_Power, ""),
    Time(nullptr, R(&FilmRec::Feed2_Ramp), "Time to ramp to Feed 2 Power."),
    Time(nullptr, R(&FilmRec::Feed2_Time), "Time to hold to Feed 2 Power."),
    Power(nullptr, &FilmRec::Feed3_Power, ""),
    Time(nullptr, R(&FilmRec::Feed3_Ramp), "Time to ramp to Feed 3 Power."),
    Time(nullptr, R(&FilmRec::Feed3_Time), "Time to hold to Feed 3 Power."),
    Power("Idle Pwr", &FilmRec::Idle_Power, "Power level for Idle phase."),
    Time("IdleRamp", R(&FilmRec::Idle_Ramp_Time), "Time to ramp to Idle Power."),
};

std::vector<Row> SensorRows() {
    using S = std::array<std::int16_t FilmRec::*, 4>;
    const std::array<S, 4> fields = {
        S{&FilmRec::Sens1_Fail, &FilmRec::Sens1_Pos, &FilmRec::Sens1_Back, &FilmRec::Sens1_BkPos},
        S{&FilmRec::Sens2_Fail, &FilmRec::Sens2_Pos, &FilmRec::Sens2_Back, &FilmRec::Sens2_BkPos},
        S{&FilmRec::Sens3_Fail, &FilmRec::Sens3_Pos, &FilmRec::Sens3_Back, &FilmRec::Sens3_BkPos},
        S{&FilmRec::Sens4_Fail, &FilmRec::Sens4_Pos, &FilmRec::Sens4_Back, &FilmRec::Sens4_BkPos}};
    static const std::array<std::string, 4> kFailCaptions = {"Sensor1 Fail", "Sensor2 Fail",
                                                             "Sensor3 Fail", "Sensor4 Fail"};
    std::vector<Row> rows;
    for (int k = 0; k < 4; ++k) {
        rows.push_back(List(kFailCaptions[std::size_t(k)].c_str(), W(fields[k][0]), kFail, 0,
                            "Action taken when this crystal fails."));
        rows.push_back(List(" Position", W(fields[k][1]), kSixteen, 1,
                            "Crystal indexer position for this film."));
        rows.push_back(List(" Backup Snsr", W(fields[k][2]), kFour, 1,
                            "Sensor used as backup if this crystal fails."));
        rows.push_back(List(" Backup Pos.", W(fields[k][3]), kSixteen, 1,
                            "Crystal indexer position for backup sensor."));
    }
    return rows;
}
const std::vector<Row> kA5Rows = SensorRows();

constexpr std::array<const char*, 3> kHeadings = {"Deposit", "Pre/Post", "Sensors"};
constexpr std::array<const char*, 3> kGridNames = {"Film", "A3", "A5"};  // grdFilm, grdA3...
const std::vector<Row>& RowsOf(FilmGrid grid) {
    return grid == FilmGrid::Film ? kFilmRows : grid == FilmGrid::A3 ? kA3Rows : kA5Rows;
}

}  // namespace

template <typename Body>
void FilmEditor::Run(const std::string& name, Body&& body) {
    RunProcedure(context_.link.Errors, "frmFilm_" + name, std::forward<Body>(body));
}

// One grid of the editor: lays its rows out, shows the film's values and checks each
// committed cell against its row.
class FilmEditor::GridHandler final : public GridEvents {
  public:
    GridHandler(FilmEditor& editor, GridView& grid, FilmGrid which)
        : editor_(editor),
          grid_(grid),
          rows_(RowsOf(which)),
          heading_(kHeadings[int(which)]),
          name_(kGridNames[int(which)]) {}

    void Init() {
        grid_.SetEvents(this);
        editor_.Run(std::string("InitGrid") + name_, [this] {
            grid_.SetSize(int(rows_.size()), 2);
            grid_.SetHeading(0, heading_);
            grid_.SetHeading(1, "Value");
            for (int r = 0; r < int(rows_.size()); ++r) {
                const Row& row = rows_[std::size_t(r)];
                grid_.SetCaption(r, row.caption ? row.caption : "");
                if (!row.caption) grid_.SetRowHeight(r, 0);
            }
        });
    }
    void Load() {
        editor_.Run(std::string("LoadGrid") + name_, [this] {
            for (int r = 0; r < int(rows_.size()); ++r) Show(r);
        });
    }

    void BeforeEdit(int row, int col) override {
        Handle("BeforeEdit", [&] {
            const Row* r = RowAt(row, col);
            if (!r || r->kind != Kind::List) return;
            grid_.ClearList(row, col);
            for (const std::string& item : *r->choices) grid_.AddListItem(row, col, item);
        });
    }
    void TextChange(int, int) override {}
    void AfterEdit(int row, int col) override {
        Handle("AfterEdit", [&] { Commit(row, col); });
    }
    void EnterKey(int row, int col) override {
        Handle("KeyPress", [&] { Commit(row, col); });
    }
    void FocusLost(int row, int col) override {
        Handle("LostFocus", [&] { Commit(row, col); });
    }
    void PointerMove(int row) override {
        const bool inside = row >= 0 && row < int(rows_.size());
        grid_.SetToolTip(inside ? rows_[std::size_t(row)].tooltip : "");
    }

  private:
    // An event of this grid as its handler "grd<name>_<event>".
    template <typename Body>
    void Handle(const char* event, Body&& body) {
        editor_.Run(std::string("grd") + name_ + "_" + event, std::forward<Body>(body));
    }
    FilmRec& Film() { return editor_.context_.setup.films[editor_.film_]; }
    const Row* RowAt(int row, int col) const {
        if (col != 1 || row < 0 || row >= int(rows_.size())) return nullptr;
        return &rows_[std::size_t(row)];
    }

    void Show(int r) {
        const Row& row = rows_[std::size_t(r)];
        const double value = row.field.Get(Film());
        std::string text;
        if (row.kind == Kind::Time) {
            text = util::FormatHMS(value);
        } else if (row.kind == Kind::List) {
            const long item = util::RoundHalfEven(value) - row.listBase;
            // A value outside the list (an old or damaged record) shows as a number;
            // the pocket, stored from 0, as the number it would be in the list.
            const bool pocket = row.listBase == 0 && row.choices == &kSixteen;
            text = item >= 0 && item < long(row.choices->size())
                       ? (*row.choices)[std::size_t(item)]
                       : util::NumberText(value + (pocket ? 1 : 0));
        } else {
            // A plain number goes to the instrument whole: shown as it goes.
            text = row.pattern ? util::FormatNumber(value, row.pattern)
                               : util::NumberText(double(util::RoundHalfEven(value)));
        }
        grid_.SetCellText(r, 1, text);
    }

    void Commit(int r, int col) {
        const Row* row = RowAt(r, col);
        if (!row) return;
        if (row->kind == Kind::List) {
            const int chosen = grid_.ChosenIndex();
            if (chosen >= 0 && chosen < int(row->choices->size()))
                row->field.Set(Film(), chosen + row->listBase);
        } else if (row->kind == Kind::Time) {
            if (const int seconds = TimeTextSeconds(grid_.CellText(r, 1)); seconds >= 0)
                row->field.Set(Film(), double(seconds));
            else
                Refuse(row->message);
        } else {
            double value = 0;
            const bool number = ParseCellNumber(grid_.CellText(r, 1), value);
            if (number && value == 0) value = util::LeadingNumber(row->zeroText);
            // A row shown as a plain number is sent in whole units: it stores the value
            // rounded, so the cell shows what the instrument gets.
            if (number && Accepts(*row, value))
                row->field.Set(Film(), row->pattern ? value : double(util::RoundHalfEven(value)));
            else
                Refuse(row->message);
        }
        Show(r);  // the stored value as the row shows it; a refused entry reverts
    }

    static bool Accepts(const Row& row, double value) {
        if (value < row.min || value > row.max) return false;
        // 1 to 24 Hz is refused, also when a fraction would round into it.
        const long whole = util::RoundHalfEven(value);
        return !row.stability || whole == 0 || whole >= 25;
    }
    void Refuse(const char* message) { RefuseEntry(message, editor_.context_.dialogs); }

    FilmEditor& editor_;
    GridView& grid_;
    const std::vector<Row>& rows_;
    const char* heading_;
    const char* name_;
};

FilmEditor::FilmEditor(EditorContext& context, FilmEditorView& view, GridView& grdFilm,
                       GridView& grdA3, GridView& grdA5)
    : context_(context), view_(view) {
    grids_[0] = std::make_unique<GridHandler>(*this, grdFilm, FilmGrid::Film);
    grids_[1] = std::make_unique<GridHandler>(*this, grdA3, FilmGrid::A3);
    grids_[2] = std::make_unique<GridHandler>(*this, grdA5, FilmGrid::A5);
}

FilmEditor::~FilmEditor() = default;

int FilmEditor::RowCount(FilmGrid grid) {
    return int(RowsOf(grid).size());
}

void FilmEditor::Open() {
    Run("Form_Load", [this] {
        saved_.assign(context_.setup.films.begin(), context_.setup.films.end());
        view_.SetTransfersEnabled(context_.link.Info().Online);
        film_ = setup::Table<FilmRec, setup::kMaxFilms>::Valid(context_.currentFilm)
                    ? context_.currentFilm
                    : 1;
        context_.currentFilm = film_;
        for (auto& grid : grids_) grid->Init();
        Load();
    });
}

void FilmEditor::Load() {
    LoadSelectors();
    for (auto& grid : grids_) grid->Load();
}

void FilmEditor::LoadSelectors() {
    std::vector<std::string> films;
    for (const FilmRec& f : context_.setup.films) films.push_back(f.Film_Name);
    view_.SetFilmList(films);
    view_.SelectFilm(film_ - 1);
    const std::string n = std::to_string(film_);
    view_.SetNumberLabel("Film " + n + ":");
    view_.SetShownFilmOption("Film " + n);

    std::vector<std::string> materials;
    for (const setup::MaterialRec& m : context_.setup.materials) materials.push_back(m.Material);
    view_.SetMaterialList(materials);
    const int material = context_.setup.films[film_].Material_Index;
    view_.SelectMaterial(material - 1);
    view_.SetMaterialLabel("Material " + std::to_string(material) + ":");
}

void FilmEditor::SetEditFilmNumber(int film) {
    if (!setup::Table<FilmRec, setup::kMaxFilms>::Valid(film)) return;
    film_ = context_.currentFilm = film;
    Load();
}

void FilmEditor::FilmChosen(int index) {
    Run("cboFilms_Click", [&] {
        if (setup::Table<FilmRec, setup::kMaxFilms>::Valid(index + 1))
            SetEditFilmNumber(index + 1);
        else
            view_.SelectFilm(film_ - 1);
    });
}

void FilmEditor::FilmTextLeft(const std::string& text) {
    Run("cboFilms_LostFocus", [&] {
        std::string& name = context_.setup.films[film_].Film_Name;
        const std::string typed = util::Trim(text);
        // An emptied selector is no name: the film keeps its own.
        const bool renamed = !typed.empty() && typed != util::Trim(name);
        if (renamed) {
            name = TypedName(typed);
            view_.SetFilmEntry(film_ - 1, name);
        }
        // The selector shows the stored name before a message can take the focus.
        view_.SelectFilm(film_ - 1);
        if (renamed) TellLostCharacters(typed, name, context_.dialogs);
    });
}

void FilmEditor::MaterialChosen(int index) {
    Run("cboMaterials_Click", [&] {
        FilmRec& film = context_.setup.films[film_];
        if (setup::Table<setup::MaterialRec, setup::kMaxMaterials>::Valid(index + 1))
            film.Material_Index = std::int16_t(index + 1);
        else
            view_.SelectMaterial(film.Material_Index - 1);
        view_.SetMaterialLabel("Material " + std::to_string(film.Material_Index) + ":");
    });
}

void FilmEditor::Cancel() {
    Run("cmdCancel_Click", [this] {
        for (int f = 1; f <= setup::kMaxFilms && f <= int(saved_.size()); ++f)
            context_.setup.films[f] = saved_[std::size_t(f - 1)];
    });
}

void FilmEditor::UpLoad(bool allFilms) {
    Run("cmdUpLoad_Click", [&] { Transfer(allFilms, true); });
}

void FilmEditor::DnLoad(bool allFilms) {
    Run("cmdDnLoad_Click", [&] { Transfer(allFilms, false); });
}

std::string FilmEditor::TransferError(bool upload, bool allFilms, int film, int status) const {
    const std::string head = "Film " + std::to_string(film);
    const char* what = upload     ? " Upload Error: "
                       : allFilms ? " Download Error: "
                                  : " Download Error ";
    return head + what + link::StatusText(status);
}

namespace {
// Gives the window back however a transfer ends, an error raised in the middle
// included: the busy pointer off, the progress window closed, the lock released.
struct TransferEnd {
    FilmEditorView& view;
    setup::ProgressDisplay& progress;
    link::Link& link;
    bool locked = false;
    ~TransferEnd() {
        if (locked) {
            transfer::ReleaseTransfer(link);
            progress.Close();
        }
        view.SetBusy(false);
    }
};

// What the instrument holds after a whole transfer cut off at film.
std::string StoppedAnswering(bool upload, int film) {
    const std::string done = film <= 1   ? "no film"
                             : film == 2 ? "film 1"
                                         : "films 1 to " + std::to_string(film - 1);
    return "\nThe instrument stopped answering: " + done + (upload ? " read; " : " written; ") +
           "the other films were not tried.";
}
}  // namespace

void FilmEditor::Transfer(bool allFilms, bool upload) {
    link::Link& link = context_.link;
    setup::SetupData& setup = context_.setup;
    const link::RepeatDamagedReplies repeat(link);
    // A film naming backup sensors the instrument lacks is not sent (95).
    auto move = [&](int film) {
        if (upload) return commands::ReadFilm(link, setup, film);
        const int model = commands::CheckFilmModel(link.Info(), setup, film);
        return model != link::kOk ? model : commands::WriteFilm(link, setup, film);
    };
    view_.SetBusy(true);
    TransferEnd end{view_, context_.progress, link};
    if (!allFilms) {
        if (const int status = move(film_); status != link::kOk)
            context_.dialogs.ShowMessage({TransferError(upload, false, film_, status),
                                          app::kAppTitle, core::MessageIcon::Exclamation});
    } else {
        context_.progress.Show(upload ? "Read Films" : "Write Films", "", "", 0);
        end.locked = true;
        transfer::LockForTransfer(link);
        for (int film = 1; film <= setup::kMaxFilms; ++film) {
            const int status = move(film);
            if (status == link::kOk) {
                context_.progress.Update(
                    (upload ? "Upload Film " : "Download Film ") + std::to_string(film) + ":",
                    util::Trim(setup.films[film].Film_Name), film * 100 / setup::kMaxFilms);
                continue;
            }
            // Once the instrument has stopped answering every further film would wait
            // out its time-out and ask again: one message says where it stopped.
            if (status == link::kTimeout) {
                context_.dialogs.ShowMessage(
                    {TransferError(upload, true, film, status) + StoppedAnswering(upload, film),
                     app::kAppTitle, core::MessageIcon::Exclamation});
                break;
            }
            const auto answer = context_.dialogs.ShowMessage(
                {TransferError(upload, true, film, status), app::kAppTitle,
                 core::MessageIcon::Exclamation, core::MessageButtons::OkCancel});
            if (answer == core::MessageAnswer::Cancel) break;
        }
    }
    Load();  // names read from the instrument show in the selector too
}

}  // namespace delvar::editors
