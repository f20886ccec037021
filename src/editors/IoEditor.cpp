#include "editors/IoEditor.h"

#include <optional>
#include <vector>

#include "app/AppTitle.h"
#include "commands/modCommProcess.h"
#include "link/Frame.h"
#include "transfer/TransferBracket.h"
#include "util/Format.h"
#include "util/Text.h"

namespace delvar::editors {

using setup::InputRec;
using setup::RelayRec;

namespace {

using Choices = std::vector<std::string>;

Choices NumberList(int first, int last) {
    Choices c;
    for (int n = first; n <= last; ++n) c.push_back(std::to_string(n));
    return c;
}
// Pulse widths 0.5 to 3.0 s; list position p stands for p / 10 + 0.5 s.
double WidthAt(int position) {
    return position / 10.0 + 0.5;
}
Choices WidthList() {
    Choices c;
    for (int p = 0; WidthAt(p) <= 3.0 + 1e-9; ++p)
        c.push_back(util::FormatNumber(WidthAt(p), "#.0"));
    return c;
}

const Choices kLevels = {"Low", "High"};
const Choices kTypes = {"NO", "NC"};
const Choices kPulses = {"None", "One", "Two"};
const Choices kPins = NumberList(0, 16);
const Choices kWidths = WidthList();
const Choices kUsedBy = {"Unused", "Logic", "Comm", "Sensor", "Source"};

enum class Kind { Name, List, Time, Shown };

// One grid column: what it shows and how an edit stores. Whole fields are named for
// the record of the grid the column belongs to.
struct Column {
    const char* heading;
    Kind kind;
    const char* toolTip;
    const Choices* choices = nullptr;
    std::int32_t InputRec::*input = nullptr;
    std::int32_t RelayRec::*relay = nullptr;
};

const std::vector<Column> kInputColumns = {
    {"Input", Kind::Shown, ""},
    {"Name", Kind::Name, "Descriptive name for this input."},
    {"Level", Kind::List, "Input level that is active state for this input.", &kLevels,
     &InputRec::Level},
    {"#", Kind::List, "Physical input assigned to this logical input.", &kPins, &InputRec::Pin},
    {"Used By", Kind::Shown, "", &kUsedBy, &InputRec::UsedBy},
};

const std::vector<Column> kRelayColumns = {
    {"Relay", Kind::Shown, ""},
    {"Name", Kind::Name, "Descriptive name for this relay."},
    {"Type", Kind::List, "Relay action, normally open or closed.", &kTypes, nullptr,
     &RelayRec::Type},
    {"Pulse", Kind::List, "Latched or pulsed action.", &kPulses, nullptr, &RelayRec::Pulses},
    {"Time", Kind::Time, "Pulse width in seconds.", &kWidths},
    {"#", Kind::List, "Physical relay assigned to this logical relay.", &kPins, nullptr,
     &RelayRec::Pin},
    {"Used By", Kind::Shown, "", &kUsedBy, nullptr, &RelayRec::UsedBy},
};

constexpr int kPulseColumn = 3, kTimeColumn = 4;

const std::vector<Column>& ColumnsOf(IoGrid grid) {
    return grid == IoGrid::Inputs ? kInputColumns : kRelayColumns;
}

// The list text of value, or the number itself when the list has no such entry (a
// value from an old or damaged record).
std::string ListText(const Choices& choices, long value) {
    return value >= 0 && value < long(choices.size()) ? choices[std::size_t(value)]
                                                      : std::to_string(value);
}

// Pushes the handler's name on the error handler, when the program has one.
class Procedure {
  public:
    Procedure(core::CErrHandler* errors, const std::string& name) {
        if (errors) guard_.emplace(*errors, "frmIO_" + name);
    }

  private:
    std::optional<core::ProcGuard> guard_;
};

}  // namespace

std::string ShownName(const std::string& stored) {
    return util::Trim(util::ReplaceChar(stored, '_', " "));
}

// One of the two grids: lays its columns out, shows the working copy's entries and
// stores each committed cell.
class IoEditor::GridHandler final : public GridEvents {
  public:
    GridHandler(IoEditor& editor, GridView& grid, IoGrid which)
        : editor_(editor), grid_(grid), which_(which), columns_(ColumnsOf(which)) {}

    GridView& Grid() { return grid_; }

    void Init() {
        grid_.SetEvents(this);
        grid_.SetSize(setup::kMaxIo, int(columns_.size()));
        for (int c = 0; c < int(columns_.size()); ++c) {
            grid_.SetHeading(c, columns_[std::size_t(c)].heading);
            if (columns_[std::size_t(c)].kind == Kind::Shown)
                for (int r = 0; r < setup::kMaxIo; ++r) grid_.SetLocked(r, c, true);
        }
        for (int r = 0; r < setup::kMaxIo; ++r) grid_.SetCaption(r, std::to_string(r + 1));
    }
    void Load() {
        for (int r = 0; r < setup::kMaxIo; ++r)
            for (int c = 1; c < int(columns_.size()); ++c) Show(r, c);
    }

    void BeforeEdit(int row, int col) override {
        const Column* column = ColumnAt(row, col);
        if (!column || !column->choices || column->kind == Kind::Shown) return;
        grid_.ClearList(row, col);
        for (const std::string& item : *column->choices) grid_.AddListItem(row, col, item);
    }
    void TextChange(int, int) override {}
    void AfterEdit(int row, int col) override { Commit(row, col, "AfterEdit"); }
    void EnterKey(int row, int col) override { Commit(row, col, "KeyPress"); }
    void FocusLost(int row, int col) override { Commit(row, col, "LostFocus"); }
    // The tool tips belong to the columns; the window gives each cell its column's.
    void PointerMove(int) override {}

  private:
    InputRec& Input(int row) { return editor_.inputs_[row + 1]; }
    RelayRec& Relay(int row) { return editor_.relays_[row + 1]; }
    const Column* ColumnAt(int row, int col) const {
        if (row < 0 || row >= setup::kMaxIo || col < 1 || col >= int(columns_.size()))
            return nullptr;
        return &columns_[std::size_t(col)];
    }
    std::int32_t& Whole(const Column& column, int row) {
        return column.input ? Input(row).*column.input : Relay(row).*column.relay;
    }
    std::string& Name(int row) {
        return which_ == IoGrid::Inputs ? Input(row).Name : Relay(row).Name;
    }

    void Show(int row, int col) {
        const Column* column = ColumnAt(row, col);
        if (!column) return;
        std::string text;
        switch (column->kind) {
            case Kind::Name:
                text = ShownName(Name(row));
                break;
            case Kind::List:
            case Kind::Shown:
                text = ListText(*column->choices, Whole(*column, row));
                break;
            case Kind::Time: {
                // A latched relay has no pulse width to choose.
                const bool latched = Relay(row).Pulses == 0;
                text = latched ? "" : util::FormatNumber(Relay(row).Width, "#.0");
                grid_.SetLocked(row, col, latched);
                break;
            }
        }
        grid_.SetCellText(row, col, text);
    }

    void Commit(int row, int col, const char* event) {
        const Column* column = ColumnAt(row, col);
        if (!column || column->kind == Kind::Shown) return;
        Procedure proc(editor_.context_.link.Errors,
                       std::string(which_ == IoGrid::Inputs ? "grdInputs_" : "grdRelays_") + event);
        editor_.changed_ = true;
        if (column->kind == Kind::Name) {
            Name(row) = setup::WordName(grid_.CellText(row, col));
        } else {
            const int chosen = grid_.ChosenIndex();
            if (chosen >= 0 && chosen < int(column->choices->size())) {
                if (column->kind == Kind::Time)
                    Relay(row).Width = WidthAt(chosen);
                else
                    Whole(*column, row) = chosen;
            }
        }
        Show(row, col);  // the stored value as the grid shows it
        if (which_ == IoGrid::Relays && col == kPulseColumn) Show(row, kTimeColumn);
    }

    IoEditor& editor_;
    GridView& grid_;
    IoGrid which_;
    const std::vector<Column>& columns_;
};

IoEditor::IoEditor(EditorContext& context, IoEditorView& view, GridView& grdInputs,
                   GridView& grdRelays)
    : context_(context), view_(view) {
    grids_[0] = std::make_unique<GridHandler>(*this, grdInputs, IoGrid::Inputs);
    grids_[1] = std::make_unique<GridHandler>(*this, grdRelays, IoGrid::Relays);
}

IoEditor::~IoEditor() = default;

int IoEditor::ColumnCount(IoGrid grid) {
    return int(ColumnsOf(grid).size());
}

std::string IoEditor::ColumnToolTip(IoGrid grid, int col) {
    const auto& columns = ColumnsOf(grid);
    return col >= 0 && col < int(columns.size()) ? columns[std::size_t(col)].toolTip : "";
}

void IoEditor::Open() {
    Procedure proc(context_.link.Errors, "Form_Load");
    inputs_ = context_.setup.inputs;
    relays_ = context_.setup.relays;
    changed_ = false;
    const bool online = context_.link.Info().Online;
    view_.SetTransfersEnabled(online);
    view_.SetMonitorEnabled(online);
    for (auto& grid : grids_) grid->Init();
    Refill();
}

void IoEditor::Refill() {
    for (auto& grid : grids_) grid->Load();
}

int IoEditor::Entries() const {
    const int entries = 4 * context_.link.Info().ChannelCount;
    return entries < 0 ? 0 : entries > setup::kMaxIo ? setup::kMaxIo : entries;
}

void IoEditor::Message(const std::string& text, const char* caption) {
    context_.dialogs.ShowMessage(
        {text, caption ? caption : app::kAppTitle,
         caption ? core::MessageIcon::Information : core::MessageIcon::Exclamation});
}

int IoEditor::ReadAll(commands::InputTable& inputs, commands::RelayTable& relays) {
    for (int k = 1; k <= Entries(); ++k) {
        if (commands::ReadInput(context_.link, inputs, k, 0) != link::kOk ||
            commands::ReadRelay(context_.link, relays, k, 0) != link::kOk)
            return k;
    }
    return 0;
}

int IoEditor::WriteAll(const commands::InputTable& inputs, const commands::RelayTable& relays) {
    link::Link& link = context_.link;
    // Every physical pin is released first, so no two entries hold one pin while the
    // new assignments go in one by one. Their outcomes do not matter.
    for (int k = 1; k <= Entries(); ++k) {
        link.SendCommand("GA" + std::to_string(k) + " 3,0");
        link.SendCommand("GB" + std::to_string(k) + " 5,0");
    }
    for (int k = 1; k <= Entries(); ++k) {
        if (commands::WriteInput(link, inputs, k, commands::kAllButUsedBy) != link::kOk ||
            commands::WriteRelay(link, relays, k, commands::kAllButUsedBy) != link::kOk)
            return k;
    }
    return 0;
}

namespace {
// The pointer shows the wait for as long as a transfer runs, whichever way it ends.
struct BusyPointer {
    IoEditorView& view;
    explicit BusyPointer(IoEditorView& v) : view(v) { view.SetBusy(true); }
    ~BusyPointer() { view.SetBusy(false); }
};
}  // namespace

void IoEditor::UpLoad() {
    Procedure proc(context_.link.Errors, "cmdUpLoad_Click");
    view_.SetTransfersEnabled(false);
    {
        BusyPointer busy(view_);
        const link::RepeatDamagedReplies repeat(context_.link);
        backup_ = {inputs_, relays_};
        transfer::LockForTransfer(context_.link);
        if (const int k = ReadAll(inputs_, relays_); k != 0) {
            inputs_ = backup_.inputs;
            relays_ = backup_.relays;
            Message("Input/Relay " + std::to_string(k) +
                    " upload error.  Original form data restored.");
        } else {
            changed_ = false;
        }
        transfer::ReleaseTransfer(context_.link);
        Refill();
    }
    view_.SetTransfersEnabled(!monitoring_);  // a Save may write while the monitor runs
}

bool IoEditor::DnLoad() {
    Procedure proc(context_.link.Errors, "cmdDnLoad_Click");
    view_.SetTransfersEnabled(false);
    bool written = false;
    {
        BusyPointer busy(view_);
        const link::RepeatDamagedReplies repeat(context_.link);
        transfer::LockForTransfer(context_.link);
        if (const int k = ReadAll(backup_.inputs, backup_.relays); k != 0) {
            Message("Input/Relay " + std::to_string(k) + " error saving existing Delvar data.");
        } else if (const int failed = WriteAll(inputs_, relays_); failed != 0) {
            Message("Input/Relay " + std::to_string(failed) +
                    "  download error.\nRestoring original Delvar data.");
            if (const int m = WriteAll(backup_.inputs, backup_.relays); m != 0)
                Message("Input/Relay " + std::to_string(m) +
                        " error restoring original Delvar data.");
        } else {
            changed_ = false;
            written = true;
        }
        transfer::ReleaseTransfer(context_.link);
    }
    view_.SetTransfersEnabled(!monitoring_);  // a Save may write while the monitor runs
    return written;
}

bool IoEditor::Save() {
    Procedure proc(context_.link.Errors, "cmdOK_Click");
    constexpr const char* kCaption = "Save IO";
    if (!context_.link.Info().Online) {
        Message("Cannot save changes because Delvar is not online.", kCaption);
        return false;
    }
    if (changed_) {
        const auto answer = context_.dialogs.ShowMessage(
            {"IO changes must be written to Delvar, to verify configuration.\n"
             "Click OK to save now or Cancel to abandon changes.",
             kCaption, core::MessageIcon::Information, core::MessageButtons::OkCancel});
        if (answer != core::MessageAnswer::Ok) return true;
        DnLoad();
    }
    context_.setup.inputs = inputs_;
    context_.setup.relays = relays_;
    return true;
}

void IoEditor::SetMonitor(bool on) {
    Procedure proc(context_.link.Errors, "chkMonitor_Click");
    monitoring_ = on;
    view_.SetMonitorRunning(on);
    view_.SetTransfersEnabled(!on && context_.link.Info().Online);
    if (!on) PaintNormal();
}

void IoEditor::PaintNormal() {
    for (auto& grid : grids_)
        for (int r = 0; r < setup::kMaxIo; ++r) grid->Grid().SetRowColour(r, kIoNormal);
}

void IoEditor::MonitorTick() {
    if (!monitoring_) return;
    Procedure proc(context_.link.Errors, "tmrMonitor_Timer");
    const int entries = Entries();
    std::array<std::int16_t, setup::kMaxIo> input{}, relay{};
    for (int k = 1; k <= entries; ++k) {
        const int status = commands::ReadIOCounts(context_.link, k, input[std::size_t(k - 1)],
                                                  relay[std::size_t(k - 1)]);
        // Another exchange is waiting: this tick shows nothing, the next one tries again.
        if (status == link::kBusy) return;
        if (status != link::kOk) {
            // A line that does not answer would hold every tick for its time-out.
            SetMonitor(false);
            Message("Input/Relay " + std::to_string(k) +
                    " monitor error: " + link::StatusText(status) + ". The monitor is stopped.");
            return;
        }
    }
    if (!monitoring_) {  // cleared while the tick waited for a reply
        PaintNormal();
        return;
    }
    for (int k = 1; k <= entries; ++k) {
        grids_[0]->Grid().SetRowColour(k - 1, input[std::size_t(k - 1)] != 0 ? kIoOn : kIoOff);
        grids_[1]->Grid().SetRowColour(k - 1, relay[std::size_t(k - 1)] != 0 ? kIoOn : kIoOff);
    }
}

}  // namespace delvar::editors
