#include "editors/LayerEditor.h"

#include "app/AppTitle.h"
#include "commands/modCommProcess.h"
#include "editors/Procedure.h"
#include "editors/TimeText.h"
#include "editors/TypedNumber.h"
#include "transfer/TransferBracket.h"
#include "util/Format.h"
#include "util/Text.h"

namespace delvar::editors {

using setup::LayerRec;
using LayerTable = setup::Table<LayerRec, setup::kMaxLayers>;

double LayerField::Get(const LayerRec& layer) const {
    return real ? layer.*real : double(layer.*whole);
}

void LayerField::Set(LayerRec& layer, double value) const {
    if (real)
        layer.*real = value;
    else
        layer.*whole = std::int16_t(util::RoundHalfEven(value));
}

namespace {

const std::string kRateMessage = "Valid Rate values are 0 to 999.9";
// Thickness cells accept up to 999.99 but the message names 999.9.
const std::string kThickMessage = "Valid Thickness values are 0 to 999.9";
const std::string kPowerMessage = "Valid Power values are 0 to 99.9";
const std::string kDeviationMessage = "Valid Alarm values are 0 to 99.9 %";

LayerRow Rate(const std::string& caption, double LayerRec::*field, const std::string& tip) {
    return {caption, field, CellKind::Number, "#0.0", 0, 999.9, kRateMessage, {}, 0, false, tip};
}
LayerRow Thick(const std::string& caption, double LayerRec::*field, const std::string& tip) {
    return {caption, field, CellKind::Number, "#0.000", 0, 999.99, kThickMessage, {}, 0,
            false,   tip};
}
LayerRow Percent(const char* caption, double LayerRec::*field, const std::string& message,
                 const char* tip) {
    return {caption, field, CellKind::Number, "#0.0", 0, 99.9, message, {}, 0, false, tip};
}
LayerRow Time(const std::string& caption, double LayerRec::*field, const std::string& tip) {
    return {caption, field, CellKind::Time, nullptr, 0, 0, {}, {}, 0, false, tip};
}
LayerRow TwoWay(const std::string& caption, LayerField field, const char* off, const char* on,
                const std::string& tip) {
    return {caption, field, CellKind::Choice, nullptr, 0, 0, {}, {off, on}, 0, false, tip};
}

std::vector<LayerRow> SetupRows() {
    std::vector<LayerRow> rows = {
        Rate("Initial Rate", &LayerRec::Rate, "Starting rate setpoint in A/s."),
        Thick("Final Thick.", &LayerRec::Final_Thick, "Thickness setpoint in kA."),
        Time("Time SetPt", &LayerRec::Time_Setpoint,
             "Time after deposit begins to end layer, 0 disables."),
        Thick("Thick SetPt", &LayerRec::Thick_Limit,
              "Thickness to trigger Setpoint relay, 0 disables."),
        TwoWay("Start Mode", &LayerRec::Start_Mode, "Manual", "Auto",
               "Start next layer automatically, or wait for user start."),
        TwoWay("Sensor 1", &LayerRec::Sensor1, "Off", "On", "Use Sensor 1 for this layer?"),
        TwoWay("Sensor 2", &LayerRec::Sensor2, "Off", "On", "Use Sensor 2 for this layer?"),
        TwoWay("Sensor 3", &LayerRec::Sensor3, "Off", "On", "Use Sensor 3 for this layer?"),
        TwoWay("Sensor 4", &LayerRec::Sensor4, "Off", "On", "Use Sensor 4 for this layer?"),
    };
    LayerRow source = TwoWay("Source", &LayerRec::Output_Number, "", "",
                             "Select source output used for this layer?");
    source.choices = {"1", "2", "3", "4"};
    source.base = 1;
    source.showNumber = true;
    rows.push_back(source);
    return rows;
}

std::vector<LayerRow> ControlRows() {
    return {
        Percent("Slew Rate", &LayerRec::Slew_Rate1, "Valid Slew rate values are 0 to 99.9%/sec.",
                "Maximum slew rate allowed in %/sec."),
        Percent("Max. Power", &LayerRec::Max_Power1, kPowerMessage,
                "Maximum allowed power in %, triggers power alarm."),
        Percent("Min. Power", &LayerRec::Min_Power1, kPowerMessage,
                "Minimum  power in % to trigger power alarm."),
        {"Pwr Alarm",
         &LayerRec::Pwr_Alarm_Dev,
         CellKind::Number,
         nullptr,
         0,
         99,
         "Valid Alarm values are 0 to 99 sec.",
         {},
         0,
         false,
         "Time (in sec.) at Min/Max power to trigger alarm."},
        Percent("Dev. Attn.", &LayerRec::Rate_Dev_Attn, kDeviationMessage,
                "Rate deviation in % to trigger attention."),
        Percent("Dev. Alert", &LayerRec::Rate_Dev_Alert, kDeviationMessage,
                "Rate deviation in % to trigger alert."),
        Percent("Dev. Alarm", &LayerRec::Rate_Dev_Alarm, kDeviationMessage,
                "Rate deviation in % to trigger alarm."),
        {"FS Rate",
         &LayerRec::FS_Rate,
         CellKind::Number,
         "#0.0",
         1,
         999.9,
         "Valid Rate values are 1 to 999.9",
         {},
         0,
         false,
         "Rate in A/s for Full Scale (10V) on analog output."},
        {"FS Thick",
         &LayerRec::FS_Thick,
         CellKind::Number,
         "#0.0",
         0.1,
         999.9,
         "Valid Thickness values are 0.1 to 999.9",
         {},
         0,
         false,
         "Thickness in kA for Full Scale (10V) on analog output."},
    };
}

std::vector<LayerRow> RampRows() {
    struct Ramp {
        double LayerRec::*enabled, LayerRec::*start, LayerRec::*rate, LayerRec::*time;
        const char* timeTip;
    };
    static const Ramp ramps[4] = {
        {&LayerRec::Ramp1_Enabled, &LayerRec::Ramp1_Start, &LayerRec::Ramp1_Rate,
         &LayerRec::Ramp1_Time, "Time to ramp to Rate Ramp1 setpoint."},
        {&LayerRec::Ramp2_Enabled, &LayerRec::Ramp2_Start, &LayerRec::Ramp2_Rate,
         &LayerRec::Ramp2_Time, "Time to ramp to Rate Ramp 2 setpoint."},
        {&LayerRec::Ramp3_Enabled, &LayerRec::Ramp3_Start, &LayerRec::Ramp3_Rate,
         &LayerRec::Ramp3_Time, "Time to ramp to Rate Ramp 3 setpoint."},
        {&LayerRec::Ramp4_Enabled, &LayerRec::Ramp4_Start, &LayerRec::Ramp4_Rate,
         &LayerRec::Ramp4_Time, "Time to ramp to Rate Ramp 4 setpoint."},
    };
    std::vector<LayerRow> rows;
    for (int k = 1; k <= 4; ++k) {
        const Ramp& r = ramps[k - 1];
        const std::string n = std::to_string(k), name = "Ramp" + n;
        rows.push_back(TwoWay(name + " Enable", r.enabled, "Disable", "Enable",
                              "Enable deposition Rate Ramp " + n + "."));
        rows.push_back(
            Thick(name + " Start", r.start, "Thickness in kA that triggers Rate Ramp " + n + "."));
        rows.push_back(Rate(name + " Rate", r.rate, "New rate setpoint for Rate Ramp " + n + "."));
        rows.push_back(Time(name + " Time", r.time, r.timeTip));
    }
    return rows;
}

const char* const kGridNames[kLayerGrids] = {"grdLayer1", "grdLayer2", "grdLayer3"};

std::string GridProc(int grid, const char* event) {
    return std::string(kGridNames[grid]) + "_" + event;
}

}  // namespace

const std::vector<LayerRow>& LayerRows(int grid) {
    static const std::vector<LayerRow> rows[kLayerGrids] = {SetupRows(), ControlRows(), RampRows()};
    static const std::vector<LayerRow> none;
    return grid >= 0 && grid < kLayerGrids ? rows[grid] : none;
}

template <typename Body>
void LayerEditor::Run(const std::string& name, Body&& body) {
    RunProcedure(context_.link.Errors, "frmLayer_" + name, std::forward<Body>(body));
}

// What one grid tells the editor.
class LayerEditor::Events final : public GridEvents {
  public:
    Events(LayerEditor& editor, int grid) : editor_(editor), grid_(grid) {}
    void BeforeEdit(int row, int col) override {
        editor_.Run(GridProc(grid_, "BeforeEdit"), [&] { editor_.BeforeEdit(grid_, row, col); });
    }
    void TextChange(int, int) override {}
    void AfterEdit(int row, int col) override { Commit(row, col, "AfterEdit"); }
    void EnterKey(int row, int col) override { Commit(row, col, "KeyPress"); }
    void FocusLost(int row, int col) override { Commit(row, col, "LostFocus"); }
    void PointerMove(int row) override { editor_.PointerMove(grid_, row); }

  private:
    void Commit(int row, int col, const char* event) {
        editor_.Run(GridProc(grid_, event), [&] { editor_.Commit(grid_, row, col); });
    }
    LayerEditor& editor_;
    int grid_;
};

LayerEditor::LayerEditor(EditorContext& context, const std::array<GridView*, kLayerGrids>& grids)
    : context_(context), grids_(grids), saved_(context.setup.layers) {
    if (LayerTable::Valid(context_.currentLayer)) layer_ = context_.currentLayer;
    events_.reserve(kLayerGrids);
    for (int g = 0; g < kLayerGrids; ++g) {
        events_.emplace_back(*this, g);
        grids_[g]->SetEvents(&events_[g]);
    }
    InitGrids();
    LoadGrids();
}

LayerEditor::~LayerEditor() {
    for (GridView* grid : grids_) grid->SetEvents(nullptr);
}

LayerRec* LayerEditor::Layer() {
    return context_.setup.layers.Find(layer_);
}

const LayerRow* LayerEditor::Row(int grid, int row) const {
    const auto& rows = LayerRows(grid);
    return row >= 0 && row < int(rows.size()) ? &rows[std::size_t(row)] : nullptr;
}

void LayerEditor::SetEditLayerNumber(int layer) {
    if (!LayerTable::Valid(layer)) return;
    layer_ = context_.currentLayer = layer;
    LoadGrids();
}

void LayerEditor::InitGrids() {
    for (int g = 0; g < kLayerGrids; ++g) {
        Run("InitGridLayer" + std::to_string(g + 1), [&] {
            GridView& grid = *grids_[g];
            grid.SetSize(kShownRows[g], 2);
            grid.SetHeading(0, kGridHeadings[g]);
            grid.SetHeading(1, "Value");
            for (int r = 0; r < kShownRows[g]; ++r) grid.SetCaption(r, Row(g, r)->caption);
        });
    }
}

void LayerEditor::LoadGrids() {
    for (int g = 0; g < kLayerGrids; ++g)
        Run("LoadGridLayer" + std::to_string(g + 1), [&] {
            for (int r = 0; r < kShownRows[g]; ++r) ShowRow(g, r);
        });
}

// The record's value in the cell, as the row shows it.
void LayerEditor::ShowRow(int grid, int row) {
    const LayerRow* rowDef = Row(grid, row);
    const LayerRec* layer = Layer();
    if (!rowDef || !layer) return;
    const double value = rowDef->field.Get(*layer);
    std::string text;
    switch (rowDef->kind) {
        case CellKind::Number:
            // A plain number goes to the instrument whole: shown as it goes.
            text = rowDef->format ? util::FormatNumber(value, rowDef->format)
                                  : util::NumberText(double(util::RoundHalfEven(value)));
            break;
        case CellKind::Time:
            text = util::FormatHMS(value);
            break;
        case CellKind::Choice:
            text =
                rowDef->showNumber ? util::NumberText(value) : rowDef->choices[value == 0 ? 0 : 1];
            break;
    }
    grids_[grid]->SetCellText(row, 1, text);
}

void LayerEditor::BeforeEdit(int grid, int row, int col) {
    const LayerRow* rowDef = Row(grid, row);
    if (!rowDef || col != 1) return;
    grids_[grid]->ClearList(row, col);
    for (const std::string& choice : rowDef->choices) grids_[grid]->AddListItem(row, col, choice);
}

void LayerEditor::Commit(int grid, int row, int col) {
    const LayerRow* rowDef = Row(grid, row);
    LayerRec* layer = Layer();
    if (col == 0 || !rowDef || !layer) return;  // captions are never edited
    GridView& view = *grids_[grid];
    switch (rowDef->kind) {
        case CellKind::Number: {
            // A row shown as a plain number is sent in whole units: it stores the value
            // rounded, so the cell shows what the instrument gets.
            if (const auto value = TypedNumber(view.CellText(row, col), rowDef->low, rowDef->high,
                                               rowDef->message, context_.dialogs))
                rowDef->field.Set(*layer,
                                  rowDef->format ? *value : double(util::RoundHalfEven(*value)));
            ShowRow(grid, row);
            break;
        }
        case CellKind::Time: {
            const int seconds = ParseTimeText(view.CellText(row, col), context_.dialogs);
            if (seconds >= 0) rowDef->field.Set(*layer, seconds);
            ShowRow(grid, row);
            break;
        }
        case CellKind::Choice: {
            const int chosen = view.ChosenIndex();
            if (chosen >= 0 && chosen < int(rowDef->choices.size()))
                rowDef->field.Set(*layer, chosen + rowDef->base);
            ShowRow(grid, row);
            break;
        }
    }
}

void LayerEditor::PointerMove(int grid, int row) {
    const LayerRow* rowDef = Row(grid, row);
    grids_[grid]->SetToolTip(rowDef ? rowDef->toolTip : "");
}

std::vector<std::string> LayerEditor::FilmNames() const {
    std::vector<std::string> names;
    for (const auto& film : context_.setup.films) names.push_back(film.Film_Name);
    return names;
}

int LayerEditor::FilmPosition() const {
    const LayerRec* layer = context_.setup.layers.Find(layer_);
    return layer && layer->Film_Number >= 1 && layer->Film_Number <= setup::kMaxFilms
               ? layer->Film_Number - 1
               : -1;
}

int LayerEditor::FilmChosen(int position) {
    Run("cboFilms_Click", [&] {
        LayerRec* layer = Layer();
        if (layer && position >= 0 && position < setup::kMaxFilms)
            layer->Film_Number = std::int16_t(position + 1);
    });
    return FilmPosition();
}

void LayerEditor::Upload() {
    Run("cmdUpLoad_Click", [this] {
        if (transferring_ || !Layer()) return;
        if (Transfer(true) != 0)
            context_.dialogs.ShowMessage({.text = "Layer Upload Error", .title = app::kAppTitle});
        LoadGrids();
    });
}

void LayerEditor::Download() {
    Run("cmdDnLoad_Click", [this] {
        if (transferring_ || !Layer()) return;
        if (Transfer(false) != 0)
            context_.dialogs.ShowMessage({.text = "Layer Download Error", .title = app::kAppTitle});
    });
}

// XSTART, the layer, XSTOP: XSTOP is sent whatever went before, so the instrument is
// never left locked. The result is the first failure of the three, so a lock or an
// unlock the instrument refused is not reported as success.
int LayerEditor::Transfer(bool upload) {
    // Cleared however the transfer ends, an error raised in the middle included, so
    // the editor never stays refusing transfers.
    struct Flag {
        bool& on;
        ~Flag() { on = false; }
    } flag{transferring_};
    transferring_ = true;
    link::Link& link = context_.link;
    const link::RepeatDamagedReplies repeat(link);
    const int lock = transfer::LockForTransfer(link);
    int moved = link::kTimeout;
    try {
        moved = upload ? commands::ReadLayer(link, context_.setup, layer_, 0)
                       : commands::WriteLayer(link, context_.setup, layer_, 0);
    } catch (...) {
        transfer::ReleaseTransfer(link);  // never leave the instrument locked
        throw;
    }
    const int unlock = transfer::ReleaseTransfer(link);
    return lock != 0 ? lock : moved != 0 ? moved : unlock;
}

void LayerEditor::Cancel() {
    Run("cmdCancel_Click", [this] { context_.setup.layers = saved_; });
}

}  // namespace delvar::editors
