#include "editors/SensorSourceEditor.h"

#include <algorithm>

#include "app/AppTitle.h"
#include "commands/modCommProcess.h"
#include "editors/Procedure.h"
#include "link/Frame.h"
#include "transfer/TransferBracket.h"
#include "util/Format.h"
#include "util/Text.h"

namespace delvar::editors {

using commands::InputTable;
using commands::RelayTable;

namespace {

constexpr int kShutterNo = 0, kShutterDual = 1;
constexpr int kControlDirect = 1;
constexpr double kDelayHigh = 9.9;  // seconds
constexpr GridColour kBlankText{255, 255, 255}, kNormalText{0, 0, 0};

std::vector<std::string> Numbers(int first, int last) {
    std::vector<std::string> list;
    for (int n = first; n <= last; ++n) list.push_back(std::to_string(n));
    return list;
}

// The list of each list row and the value its first item stores.
struct ListRow {
    std::vector<std::string> items;
    int base = 0;
};
const std::array<ListRow, kChannelRows>& Lists(const ChannelEditorTable& table) {
    static const std::vector<std::string> kSixteen = Numbers(1, 16);
    static const auto make = [](const std::vector<std::string>& shutter) {
        std::array<ListRow, kChannelRows> lists;
        lists[kShutter] = {shutter, 0};
        lists[kPositions] = {kSixteen, 1};
        lists[kCurrent] = {kSixteen, 1};
        lists[kControl] = {{"Manual", "Direct", "BCD", "Indiv."}, 0};
        lists[kDrive] = {{"Up", "Down", "Fast", "Inline", "1 Step", "2 Step"}, 0};
        lists[kFeedback] = {{"None", "Indiv.", "BCD", "Home", "Position"}, 0};
        lists[kIndexer] = {Numbers(0, 99), 0};
        return lists;
    };
    static const auto sensors = make(ChannelTable(ChannelKind::Sensors).shutterChoices);
    static const auto sources = make(ChannelTable(ChannelKind::Sources).shutterChoices);
    return &table == &ChannelTable(ChannelKind::Sensors) ? sensors : sources;
}

constexpr std::array<const char*, kChannelRows> kCaptions = {
    nullptr,        "Shutter",    "Shutter Delay", "# of Positions", "Current Position",
    "Control Type", "Drive Type", "Feedback Type", "Indexer Delay"};

}  // namespace

const ChannelEditorTable& ChannelTable(ChannelKind kind) {
    static const ChannelEditorTable kSensors{
        .noun = "Sensor",
        .windowName = "frmSensors",
        .gridName = "grdSensor",
        .title = "Sensor Setup",
        .firstCaption = "Tooling Factor",
        .firstLow = 0,
        .firstHigh = 399,
        .firstMessage = "Valid Tooling values are  0 to 399",
        .shutterChoices = {"No", "Dual", "Yes"},
        .dualPairing = true,
        .delayMessage = "Valid Shutter Delay values are 0 to 9.9",
        .toolTips = {"Adjustment needed for sensor location.",
                     "Does sensor have a shutter, or a dual sensor.",
                     "Time to wait for shutter for this sensor.",
                     "Number of crystal positions for this sensor.",
                     "Crystal position sensor is on now.", "How crystal selection is controlled.",
                     "Direct drive signal for crystal selection.",
                     "Type of crystal selection feedback.", "Time to wait for crystal selection."},
        .saveQuestion = "Sensor changes must be written to Delvar, so that I/O can be configured.",
        .saveCaption = "Save Sensor",
        .lockedRead = true};
    static const ChannelEditorTable kSources{
        .noun = "Source",
        .windowName = "frmSources",
        .gridName = "grdSource",
        .title = "Source Setup",
        .firstCaption = "Voltage Scale",
        .firstLow = -10,
        .firstHigh = 10,
        .firstMessage = "Valid voltage values are  -10 to 10",
        .shutterChoices = {"No", "Yes"},
        .dualPairing = false,
        .delayMessage = "Valid Shutter Delay values are  0 to 9.9",
        .toolTips = {"Maximum source voltage.", "Does Source have a shutter, or a dual Source.",
                     "Time to wait for shutter for this Source.",
                     "Number of crystal positions for this Source.",
                     "Crystal position Source is on now.", "How crystal selection is controlled.",
                     "Direct drive signal for crystal selection.",
                     "Type of crystal selection feedback.", "Time to wait for crystal selection."},
        .saveQuestion = "Source changes must be written to Delvar, so that I/O can be configured.",
        .saveCaption = "Save Source",
        .lockedRead = false};
    return kind == ChannelKind::Sensors ? kSensors : kSources;
}

class SensorSourceEditor::Events final : public GridEvents {
  public:
    explicit Events(SensorSourceEditor& editor) : editor_(editor) {}
    void BeforeEdit(int row, int col) override {
        editor_.Handler(GridProc("BeforeEdit"), [&] { FillList(row, col); });
    }
    void TextChange(int, int) override {}
    void AfterEdit(int row, int col) override { Commit(row, col, "AfterEdit"); }
    void EnterKey(int row, int col) override { Commit(row, col, "KeyPress"); }
    void FocusLost(int row, int col) override { Commit(row, col, "LostFocus"); }
    void PointerMove(int row) override {
        const bool inside = row >= 0 && row < kChannelRows;
        editor_.grid_.SetToolTip(inside ? editor_.table_.toolTips[std::size_t(row)] : "");
    }

  private:
    std::string GridProc(const char* event) const {
        return editor_.table_.gridName + std::string("_") + event;
    }
    void FillList(int row, int col) {
        if (row < 0 || row >= kChannelRows || col < 1 || col > setup::kMaxChannels) return;
        const ListRow& list = Lists(editor_.table_)[std::size_t(row)];
        if (list.items.empty()) return;
        editor_.grid_.ClearList(row, col);
        for (const std::string& item : list.items) editor_.grid_.AddListItem(row, col, item);
    }
    void Commit(int row, int col, const char* event) {
        editor_.Handler(GridProc(event), [&] { editor_.Commit(row, col); });
    }
    SensorSourceEditor& editor_;
};

SensorSourceEditor::SensorSourceEditor(ChannelKind kind, EditorContext& context,
                                       SensorSourceView& view, GridView& grid)
    : table_(ChannelTable(kind)),
      context_(context),
      view_(view),
      grid_(grid),
      records_(MakeChannelRecords(kind)),
      events_(std::make_unique<Events>(*this)) {}

SensorSourceEditor::~SensorSourceEditor() {
    grid_.SetEvents(nullptr);
}

int SensorSourceEditor::Channels() const {
    // A damaged channel count never reaches past the four records.
    return std::clamp(context_.link.Info().ChannelCount, 0, setup::kMaxChannels);
}

template <typename Body>
bool SensorSourceEditor::Handler(const std::string& name, Body&& body) {
    return RunProcedure(context_.link.Errors, table_.windowName + ("_" + name),
                        std::forward<Body>(body));
}

void SensorSourceEditor::Open() {
    Handler("Form_Load", [this] { Load(); });
}

void SensorSourceEditor::Load() {
    records_->Load(context_.setup);
    changed_ = false;
    const bool online = Online();
    view_.SetTransfersEnabled(online);
    for (int n = 1; n <= setup::kMaxChannels; ++n) {
        ticked_[std::size_t(n - 1)] = online && n <= Channels();
        view_.ShowSelect(n, ticked_[std::size_t(n - 1)], ticked_[std::size_t(n - 1)]);
    }
    grid_.SetEvents(events_.get());
    grid_.SetSize(kChannelRows, setup::kMaxChannels + 1);
    grid_.SetHeading(0, "");
    for (int n = 1; n <= setup::kMaxChannels; ++n)
        grid_.SetHeading(n, table_.noun + std::string(" ") + std::to_string(n));
    for (int row = 0; row < kChannelRows; ++row)
        grid_.SetCaption(row, row == kFirst ? table_.firstCaption : kCaptions[std::size_t(row)]);
    Fill();
}

void SensorSourceEditor::SelectClicked(int channel, bool ticked) {
    if (channel >= 1 && channel <= Channels()) ticked_[std::size_t(channel - 1)] = ticked;
}

double SensorSourceEditor::Value(int channel, int row) const {
    return records_->Get(channel, row);
}
const InputTable& SensorSourceEditor::Inputs() const {
    return records_->inputs;
}
const RelayTable& SensorSourceEditor::Relays() const {
    return records_->relays;
}

// ---- the grid ----

void SensorSourceEditor::Fill() {
    for (int n = 1; n <= setup::kMaxChannels; ++n) {
        for (int row = 0; row < kChannelRows; ++row) ShowCell(row, n);
        ApplyRules(n);
    }
}

void SensorSourceEditor::ShowCell(int row, int channel) {
    const double value = records_->Get(channel, row);
    const ListRow& list = Lists(table_)[std::size_t(row)];
    std::string text;
    if (list.items.empty()) {
        text = value == 0 ? "0.0" : util::NumberText(value);
    } else {
        // A value outside the list (an old or damaged record) shows as its number.
        const long item = util::RoundHalfEven(value) - list.base;
        text = item >= 0 && item < long(list.items.size()) ? list.items[std::size_t(item)]
                                                           : util::NumberText(value);
    }
    grid_.SetCellText(row, channel, text);
}

void SensorSourceEditor::SetBlank(int row, int channel, bool blank) {
    grid_.SetLocked(row, channel, blank);
    grid_.SetCellColour(row, channel, blank ? kBlankText : kNormalText);
}

void SensorSourceEditor::ApplyRules(int channel) {
    const auto get = [&](int row) { return util::RoundHalfEven(records_->Get(channel, row)); };
    SetBlank(kDelay, channel, get(kShutter) == kShutterNo);
    const bool positions = get(kPositions) > 1;
    for (int row : {kCurrent, kControl, kFeedback, kIndexer}) SetBlank(row, channel, !positions);
    SetBlank(kDrive, channel, !positions || get(kControl) != kControlDirect);
    if (table_.dualPairing && channel % 2 == 0) {
        // The second of a pair follows its first while that one is dual.
        const bool paired =
            util::RoundHalfEven(records_->Get(channel - 1, kShutter)) == kShutterDual;
        grid_.SetLocked(kShutter, channel, paired);
    }
}

void SensorSourceEditor::Commit(int row, int col) {
    if (row < 0 || row >= kChannelRows || col < 1 || col > setup::kMaxChannels) return;
    changed_ = true;
    const ListRow& list = Lists(table_)[std::size_t(row)];
    if (!list.items.empty()) {
        const int chosen = grid_.ChosenIndex();
        if (chosen >= 0 && chosen < int(list.items.size())) {
            if (row == kShutter)
                ChooseShutter(col, chosen);
            else
                records_->Set(col, row, chosen + list.base);
        }
    } else {
        const bool first = row == kFirst;
        const double low = first ? table_.firstLow : 0;
        const double high = first ? table_.firstHigh : kDelayHigh;
        const std::string typed = grid_.CellText(row, col);
        double value = 0;
        // Blank is 0; anything that is not wholly one number is refused.
        const bool number = util::Trim(typed).empty() || util::ParseTypedNumber(typed, value);
        if (number && value >= low && value <= high)
            records_->Set(col, row, value);
        else
            Message(first ? table_.firstMessage : table_.delayMessage);
    }
    ShowCell(row, col);  // the stored value in the row's format; a refused entry reverts
    ApplyRules(col);
}

void SensorSourceEditor::ChooseShutter(int channel, int position) {
    records_->Set(channel, kShutter, position);
    if (!table_.dualPairing || channel % 2 == 0) return;
    const int partner = channel + 1;
    const bool partnerDual = util::RoundHalfEven(records_->Get(partner, kShutter)) == kShutterDual;
    // Only a partner that was paired goes back to "No": its own "Yes" is kept.
    if (position == kShutterDual || partnerDual)
        records_->Set(partner, kShutter, position == kShutterDual ? kShutterDual : kShutterNo);
    ShowCell(kShutter, partner);
    ApplyRules(partner);
}

void SensorSourceEditor::Message(const std::string& text) {
    context_.dialogs.ShowMessage(
        {text, app::kAppTitle, core::MessageIcon::Exclamation, core::MessageButtons::Ok});
}

// ---- transfers ----

int SensorSourceEditor::ReadTicked(bool backup) {
    link::Link& link = context_.link;
    InputTable& inputs = backup ? records_->backupInputs : records_->inputs;
    RelayTable& relays = backup ? records_->backupRelays : records_->relays;
    const int io = 4 * Channels();
    for (int n = 1; n <= Channels(); ++n) {
        if (!ticked_[std::size_t(n - 1)]) continue;
        if (records_->Read(link, backup, n) != link::kOk) return n;
        for (int k = 1; k <= io; ++k)
            if (commands::ReadInput(link, inputs, k, 0) != link::kOk ||
                commands::ReadRelay(link, relays, k, 0) != link::kOk)
                return n;
    }
    return 0;
}

int SensorSourceEditor::WriteTicked(bool backup) {
    link::Link& link = context_.link;
    const int io = 4 * Channels();
    for (int n = 1; n <= Channels(); ++n) {
        if (!ticked_[std::size_t(n - 1)]) continue;
        if (records_->Write(link, backup, n) != link::kOk) return n;
        // The instrument assigns I/O from the record just written: read it back.
        for (int k = 1; k <= io; ++k)
            if (commands::ReadInput(link, records_->inputs, k, 0) != link::kOk ||
                commands::ReadRelay(link, records_->relays, k, 0) != link::kOk)
                return n;
    }
    return 0;
}

void SensorSourceEditor::UpLoad() {
    Handler("cmdUpLoad_Click", [this] { Transfer(true); });
}

void SensorSourceEditor::DnLoad() {
    Handler("cmdDnLoad_Click", [this] { Transfer(false); });
}

// Whatever ends a transfer, an error too, gives the window back its pointer and buttons
// and lets the next transfer (and the close) go ahead.
class SensorSourceEditor::TransferEnd {
  public:
    explicit TransferEnd(SensorSourceEditor& editor) : editor_(editor) {
        editor_.transferring_ = true;
        editor_.view_.SetTransfersEnabled(false);
    }
    ~TransferEnd() {
        if (busy_) editor_.view_.SetBusy(false);
        editor_.view_.SetTransfersEnabled(editor_.Online());
        editor_.transferring_ = false;
    }
    TransferEnd(const TransferEnd&) = delete;
    TransferEnd& operator=(const TransferEnd&) = delete;
    void Busy() {
        editor_.view_.SetBusy(true);
        busy_ = true;
    }

  private:
    SensorSourceEditor& editor_;
    bool busy_ = false;
};

void SensorSourceEditor::Transfer(bool upload) {
    if (transferring_) return;
    TransferEnd end(*this);
    end.Busy();
    link::Link& link = context_.link;
    const link::RepeatDamagedReplies repeat(link);
    const std::string noun = table_.noun + std::string(" ");
    // A failed XSTART or XSTOP shows nothing: the transfer itself reports.
    if (upload) {
        records_->Backup();
        if (table_.lockedRead) transfer::LockForTransfer(link);
        if (const int n = ReadTicked(false)) {
            records_->Restore();
            Message(noun + std::to_string(n) + " upload error.  Original form data restored.");
        } else {
            changed_ = false;
        }
        if (table_.lockedRead) transfer::ReleaseTransfer(link);
    } else {
        transfer::LockForTransfer(link);
        if (const int saved = ReadTicked(true)) {
            Message(noun + std::to_string(saved) + " error saving existing Delvar data.");
        } else if (const int n = WriteTicked(false)) {
            Message(noun + std::to_string(n) +
                    "  download error.\nRestoring original Delvar data.");
            if (const int m = WriteTicked(true))
                Message(noun + std::to_string(m) + " error restoring original Delvar data.");
        } else {
            changed_ = false;
        }
        transfer::ReleaseTransfer(link);
    }
    Fill();
}

bool SensorSourceEditor::Save() {
    bool close = false;
    Handler("cmdSave_Click", [&] { close = SaveChanges(); });
    return close;
}

bool SensorSourceEditor::SaveChanges() {
    if (transferring_) return false;
    const auto ask = [&](const char* text, core::MessageButtons buttons) {
        return context_.dialogs.ShowMessage(
            {text, table_.saveCaption, core::MessageIcon::Information, buttons});
    };
    if (!Online()) {
        ask(kSaveOffline, core::MessageButtons::Ok);
        return false;
    }
    if (changed_) {
        const std::string question = std::string(table_.saveQuestion) +
                                     "\nClick OK to save now or Cancel to abandon changes.";
        if (ask(question.c_str(), core::MessageButtons::OkCancel) != core::MessageAnswer::Ok)
            return true;
        DnLoad();
    }
    records_->Store(context_.setup);
    return true;
}

}  // namespace delvar::editors
