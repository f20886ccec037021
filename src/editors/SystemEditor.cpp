#include "editors/SystemEditor.h"

#include <array>
#include <cstdint>
#include <vector>

#include "app/AppTitle.h"
#include "commands/modCommProcess.h"
#include "commands/modCommSystem.h"
#include "editors/Procedure.h"
#include "link/Frame.h"
#include "transfer/TransferBracket.h"
#include "util/Format.h"
#include "util/Text.h"

namespace delvar::editors {

using setup::SystemRec;

namespace {

// A system field of either stored type; whole fields keep the value rounded.
struct Field {
    double SystemRec::*real = nullptr;
    std::int16_t SystemRec::*whole = nullptr;
    double Get(const SystemRec& s) const { return real ? s.*real : s.*whole; }
    void Set(SystemRec& s, double v) const {
        if (real)
            s.*real = v;
        else
            s.*whole = static_cast<std::int16_t>(util::RoundHalfEven(v));
    }
};

enum class Kind {
    Number,     // typed, with a default for an empty or zero entry and a range
    ValueList,  // the chosen entry's number is stored
    OffOnList,  // the chosen position is stored: 0 "Off", 1 "On"
};

struct Row {
    const char* caption;
    Field field;
    Kind kind;
    const char* tooltip;
    std::vector<double> values = {};  // ValueList
    const char* pattern = nullptr;    // how the value shows; nullptr: a plain number
    const char* zeroText = nullptr;   // Number: what an empty or zero entry becomes
    double low = 0, high = 0;
    std::string message = {};
};

Field R(double SystemRec::*m) {
    return {m, nullptr};
}
Field W(std::int16_t SystemRec::*m) {
    return {nullptr, m};
}

Row OffOn(const char* caption, std::int16_t SystemRec::*m, const char* tip) {
    return {caption, W(m), Kind::OffOnList, tip};
}

Row Number(const char* caption, Field f, const char* tip, const char* zero, double low, double high,
           std::string message) {
    Row r{caption, f, Kind::Number, tip};
    r.zeroText = zero;
    r.low = low;
    r.high = high;
    r.message = std::move(message);
    return r;
}

const std::string kPasswordRange =
    std::to_string(kPasswordLow) + " to " + std::to_string(kPasswordHigh);
const std::string kPasswordTip = "System password: " + kPasswordRange + ".";

const std::array<Row, kSystemRows> kRows = [] {
    Row period{"Period (sec.)", R(&SystemRec::Period), Kind::ValueList,
               "Measurement period in seconds."};
    period.values = {0.1, 0.15, 0.2, 0.25, 0.3, 0.4, 0.5, 0.75, 1};
    period.pattern = "#0.00";
    Row devGraph{"Dev. Graph Limit", W(&SystemRec::Dev_Graph), Kind::ValueList,
                 "Y axis scale for deviation graph."};
    devGraph.values = {5, 10, 20, 50};
    return std::array<Row, kSystemRows>{
        period,
        OffOn("Simulate", &SystemRec::Simulate_Mode, "Simulate sensor inputs and source outputs."),
        Number("Tooling", W(&SystemRec::System_Tooling),
               "Adjustment needed for overall rate correction.", "100", 10, 399,
               "Valid System Tooling values are 10 to 399"),
        Number("Min. Frequency (MHz)", R(&SystemRec::Min_Freq), "Minimum sensor frequency.", "5.0",
               1, 6.1, "Valid Min. Freq. values are 1 to 6.1"),
        Number("Max. Frequency (MHz)", R(&SystemRec::Max_Freq), "Maximum sensor frequency.", "6.0",
               1, 6.5, "Valid Max.Freq. values are 1 to 6.5"),
        devGraph,
        OffOn("Password Enabled", &SystemRec::Pass_Enable, "System password enabled."),
        Number("Password", W(&SystemRec::Password), kPasswordTip.c_str(), "5937", kPasswordLow,
               kPasswordHigh, "Valid Password values are " + kPasswordRange),
        OffOn("Alarm Enabled", &SystemRec::Alarm_Sound, "System alarm sound enabled."),
        OffOn("Alert Enabled", &SystemRec::Alert_Sound, "System alert sound enabled."),
        OffOn("Attn. Enabled", &SystemRec::Attn_Sound, "System attention sound enabled."),
    };
}();

const std::array<const char*, 2> kOffOn = {"Off", "On"};

std::string ValueText(const Row& row, double value) {
    return row.pattern ? util::FormatNumber(value, row.pattern) : util::NumberText(value);
}

}  // namespace

class SystemEditor::Events final : public GridEvents {
  public:
    explicit Events(SystemEditor& editor) : editor_(editor) {}
    void BeforeEdit(int row, int col) override {
        Handle("BeforeEdit", [&] { FillList(row, col); });
    }
    void TextChange(int, int) override {}
    void AfterEdit(int row, int col) override { Commit(row, col, "AfterEdit"); }
    void EnterKey(int row, int col) override { Commit(row, col, "KeyPress"); }
    void FocusLost(int row, int col) override { Commit(row, col, "LostFocus"); }
    void PointerMove(int row) override {
        const bool inside = row >= 0 && row < kSystemRows;
        editor_.grid_.SetToolTip(inside ? kRows[std::size_t(row)].tooltip : "");
    }

  private:
    template <typename Body>
    void Handle(const char* event, Body&& body) {
        RunProcedure(editor_.context_.link.Errors, std::string("frmSystem_grdSystem_") + event,
                     std::forward<Body>(body));
    }
    void Commit(int row, int col, const char* event) {
        Handle(event, [&] { editor_.Commit(row, col); });
    }
    void FillList(int row, int col) {
        if (col != 1 || row < 0 || row >= kSystemRows) return;
        const Row& r = kRows[std::size_t(row)];
        GridView& grid = editor_.grid_;
        if (r.kind == Kind::Number) return;
        grid.ClearList(row, col);
        if (r.kind == Kind::OffOnList)
            for (const char* item : kOffOn) grid.AddListItem(row, col, item);
        else
            for (double v : r.values) grid.AddListItem(row, col, ValueText(r, v));
    }
    SystemEditor& editor_;
};

SystemEditor::SystemEditor(EditorContext& context, GridView& grid)
    : context_(context), grid_(grid), events_(std::make_unique<Events>(*this)) {}

SystemEditor::~SystemEditor() {
    grid_.SetEvents(nullptr);
}

void SystemEditor::Open() {
    RunProcedure(context_.link.Errors, "frmSystem_Form_Load", [this] { Load(); });
}

void SystemEditor::Load() {
    opening_ = context_.setup.system;
    grid_.SetEvents(events_.get());
    grid_.SetSize(kSystemRows, 2);
    grid_.SetHeading(0, "");
    grid_.SetHeading(1, "Value");
    for (int row = 0; row < kSystemRows; ++row)
        grid_.SetCaption(row, kRows[std::size_t(row)].caption);
    Fill();
}

void SystemEditor::Fill() {
    for (int row = 0; row < kSystemRows; ++row) ShowRow(row);
}

void SystemEditor::ShowRow(int row) {
    const Row& r = kRows[std::size_t(row)];
    const double value = r.field.Get(context_.setup.system);
    const long position = util::RoundHalfEven(value);
    // A value outside Off/On (an old or damaged record) shows as its number.
    const bool offOn = r.kind == Kind::OffOnList && (position == 0 || position == 1);
    grid_.SetCellText(row, 1, offOn ? kOffOn[std::size_t(position)] : ValueText(r, value));
}

void SystemEditor::Commit(int row, int col) {
    if (col != 1 || row < 0 || row >= kSystemRows) return;
    const Row& r = kRows[std::size_t(row)];
    SystemRec& system = context_.setup.system;
    if (r.kind != Kind::Number) {
        const int chosen = grid_.ChosenIndex();
        if (r.kind == Kind::OffOnList && chosen >= 0 && chosen < int(kOffOn.size()))
            r.field.Set(system, chosen);
        else if (r.kind == Kind::ValueList && chosen >= 0 && chosen < int(r.values.size()))
            r.field.Set(system, r.values[std::size_t(chosen)]);
    } else {
        const std::string typed = grid_.CellText(row, 1);
        double value = 0;
        // Anything that is not wholly one number is refused with the row's range.
        bool number = util::ParseTypedNumber(typed, value);
        if (util::Trim(typed).empty() || (number && value == 0)) {
            grid_.SetCellText(row, 1, r.zeroText);
            number = util::ParseTypedNumber(r.zeroText, value);
        }
        if (number && value >= r.low && value <= r.high)
            r.field.Set(system, value);
        else
            Message(r.message);
    }
    ShowRow(row);  // the stored value in the row's format; a refused entry reverts
}

void SystemEditor::Message(const std::string& text) {
    context_.dialogs.ShowMessage(
        {text, app::kAppTitle, core::MessageIcon::Exclamation, core::MessageButtons::Ok});
}

// Whatever ends a transfer, an error too, lets the next one (and the close) go ahead.
class SystemEditor::TransferEnd {
  public:
    explicit TransferEnd(bool& transferring) : transferring_(transferring) { transferring_ = true; }
    ~TransferEnd() { transferring_ = false; }
    TransferEnd(const TransferEnd&) = delete;
    TransferEnd& operator=(const TransferEnd&) = delete;

  private:
    bool& transferring_;
};

void SystemEditor::UpLoad() {
    RunProcedure(context_.link.Errors, "frmSystem_cmdUpLoad_Click", [this] { Read(); });
}

void SystemEditor::Read() {
    if (transferring_) return;
    const TransferEnd end(transferring_);
    link::Link& link = context_.link;
    SystemRec& system = context_.setup.system;
    const SystemRec before = system;
    const link::RepeatDamagedReplies repeat(link);
    transfer::LockForTransfer(link);
    if (commands::ReadSystem(link, system, 0) != link::kOk) {
        system = before;  // nothing half read stays
        Message("System Upload Error");
    }
    transfer::ReleaseTransfer(link);
    Fill();
}

void SystemEditor::DnLoad() {
    RunProcedure(context_.link.Errors, "frmSystem_cmdDnLoad_Click", [this] {
        if (transferring_) return;
        const TransferEnd end(transferring_);
        const link::RepeatDamagedReplies repeat(context_.link);
        if (commands::WriteSystem(context_.link, context_.setup.system, 0) != link::kOk)
            Message("System Download Error");
    });
}

void SystemEditor::Cancel() {
    context_.setup.system = opening_;
}

}  // namespace delvar::editors
