// The digital I/O editor over fake grids and a scripted instrument: names, lists and
// the pulse width, the read and the write with its restore, Save, and the monitor.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "commands/CommandRig.h"
#include "editors/IoEditor.h"
#include "support/FakeGrid.h"

namespace delvar::testing {
namespace {

using editors::IoEditor;
using editors::kIoNormal;
using editors::kIoOff;
using editors::kIoOn;
using ::testing::HasSubstr;
using ::testing::StartsWith;

struct FakeIoView final : editors::IoEditorView {
    void SetTransfersEnabled(bool e) override { transfers = e; }
    void SetMonitorEnabled(bool e) override { monitorBox = e; }
    void SetMonitorRunning(bool r) override { timer = r; }
    void SetBusy(bool b) override { busy += b ? 1 : -1; }
    bool transfers = false, monitorBox = false, timer = false;
    int busy = 0;
};

struct IoRig {
    explicit IoRig(int channels = 4, bool online = true) : rig(channels) {
        rig.link.MutableInfo().Online = online;
        editor.Open();
    }
    const setup::InputRec& Input(int k) const { return editor.Inputs()[k]; }
    const setup::RelayRec& Relay(int k) const { return editor.Relays()[k]; }
    std::vector<std::string> SentFrom(std::size_t from) const {
        return {rig.sent.begin() + long(from), rig.sent.end()};
    }
    CommandRig rig;
    setup::NoProgress progress;
    editors::EditorContext context{rig.link, *rig.setup, rig.dialogs, progress};
    FakeIoView view;
    FakeGrid inputs, relays;
    IoEditor editor{context, view, inputs, relays};
};

constexpr int kName = 1, kLevel = 2, kInputPin = 3, kInputUsedBy = 4;
constexpr int kType = 2, kPulse = 3, kTime = 4, kRelayPin = 5;

TEST(IoEditor, NamesAreStoredWithUnderscoresCleanedAndCutAndShownWithBlanks) {
    IoRig r;
    r.inputs.Type(0, kName, "  Heater On ");
    EXPECT_EQ(r.Input(1).Name, setup::FixedName("Heater_On"));
    EXPECT_EQ(r.inputs.CellText(0, kName), "Heater On");
    EXPECT_TRUE(r.editor.Changed());

    const std::pair<const char*, const char*> cases[] = {
        {"Valve, main", "Valve_main"},                 // a comma would split the reply item
        {"Kühlung\tan", "Khlung_an"},                  // only printable ASCII goes out
        {"Chamber Vent Valve 2", "Chamber_Vent_Val"},  // cut at 16
        {"Main Water Pump X", "Main_Water_Pump"},      // cut at a blank: no "_" at the end
        {",,", ""},
    };
    for (const auto& [typed, stored] : cases) {
        r.relays.Type(2, kName, typed, FakeGrid::Ending::Enter);
        EXPECT_EQ(r.Relay(3).Name, setup::FixedName(stored)) << typed;
        EXPECT_EQ(r.relays.CellText(2, kName), editors::ShownName(stored)) << typed;
    }
    EXPECT_EQ(r.rig.setup->inputs[1].Name, setup::FixedName("")) << "only the working copy";
}

TEST(IoEditor, ListsStoreTheirPositionsAndAPulseOfNoneBlanksTheTime) {
    IoRig r;
    EXPECT_EQ(r.inputs.Heading(kInputPin), "#");
    EXPECT_EQ(r.relays.Heading(kTime), "Time");
    EXPECT_EQ(r.relays.CellText(15, 0), "16");
    EXPECT_EQ(r.relays.CellText(0, kTime), "") << "a new relay is latched";
    EXPECT_TRUE(r.relays.Locked(0, kTime));
    EXPECT_TRUE(r.inputs.Locked(0, kInputUsedBy));
    EXPECT_EQ(r.inputs.CellText(0, kInputUsedBy), "Unused");

    r.relays.Choose(0, kPulse, 2);
    EXPECT_EQ(r.Relay(1).Pulses, 2);
    EXPECT_FALSE(r.relays.Locked(0, kTime));
    r.relays.Choose(0, kTime, 15);  // the sixteenth entry
    EXPECT_DOUBLE_EQ(r.Relay(1).Width, 2.0);
    EXPECT_EQ(r.relays.CellText(0, kTime), "2.0");
    const auto widths = r.relays.List(0, kTime);
    ASSERT_EQ(widths.size(), 26u);
    EXPECT_EQ(widths.front(), ".5");
    EXPECT_EQ(widths.back(), "3.0");
    r.relays.Choose(0, kPulse, 0);
    EXPECT_EQ(r.relays.CellText(0, kTime), "");
    EXPECT_DOUBLE_EQ(r.Relay(1).Width, 2.0) << "the width is kept for a later pulse";
    r.relays.Choose(0, kPulse, 1);
    EXPECT_EQ(r.relays.CellText(0, kTime), "2.0");

    r.relays.Choose(4, kType, 1);
    r.relays.Choose(4, kRelayPin, 16);
    r.inputs.Choose(3, kLevel, 1);
    r.inputs.Choose(3, kInputPin, 7);
    r.inputs.Choose(3, kInputPin, -1);  // nothing picked
    EXPECT_EQ(r.Relay(5).Type, 1);
    EXPECT_EQ(r.relays.CellText(4, kType), "NC");
    EXPECT_EQ(r.Relay(5).Pin, 16);
    EXPECT_EQ(r.Input(4).Level, 1);
    EXPECT_EQ(r.inputs.CellText(3, kLevel), "High");
    EXPECT_EQ(r.Input(4).Pin, 7);
    EXPECT_EQ(r.inputs.CellText(3, kInputPin), "7");
    EXPECT_EQ(IoEditor::ColumnToolTip(editors::IoGrid::Relays, kPulse),
              "Latched or pulsed action.");
}

// An instrument whose inputs and relays hold "Old" names and pins k + 1, and that
// refuses any command starting with `refused`.
void Instrument(CommandRig& rig, std::string refused = "-") {
    rig.respond = [refused](const std::string& c) -> Answer {
        if (c.rfind(refused, 0) == 0) return {'D', ""};
        if (c.size() > 3 && c.find('?') != std::string::npos && c[0] == 'G') {
            const std::string k = c.substr(2, c.find('?') - 2);
            const std::string pin = std::to_string(std::stoi(k) + 1);
            if (c[1] == 'A') return {'A', "1,Old_" + k + " 2,1 3," + pin + " 4,1 5,0"};
            if (c[1] == 'B') return {'A', "1,Old_" + k + " 2,1 3,1 4,1500 5," + pin + " 6,2 7,0"};
        }
        return {};
    };
}

TEST(IoEditor, AReadCoversFourEntriesAChannelAndAFailureRestoresTheWorkingCopy) {
    IoRig r(1);
    Instrument(r.rig);
    r.editor.UpLoad();
    EXPECT_EQ(r.rig.sent.front(), "XSTART");
    EXPECT_EQ(r.rig.sent.back(), "XSTOP");
    EXPECT_EQ(r.rig.sent.size(), 2u + 8u) << "inputs and relays 1-4";
    EXPECT_EQ(r.inputs.CellText(3, kName), "Old 4");
    EXPECT_EQ(r.relays.CellText(3, kTime), "1.5");
    EXPECT_EQ(r.inputs.CellText(3, kInputUsedBy), "Logic");
    EXPECT_EQ(r.Input(5).Name, setup::FixedName("")) << "the grid shows 16, the read moves 4";
    EXPECT_FALSE(r.editor.Changed());
    EXPECT_TRUE(r.view.transfers);
    EXPECT_EQ(r.view.busy, 0);

    IoRig f;
    f.inputs.Type(0, kName, "Mine");
    Instrument(f.rig, "GB3?");
    f.editor.UpLoad();
    EXPECT_EQ(f.rig.dialogs.Texts(),
              Texts{"Input/Relay 3 upload error.  Original form data restored."});
    EXPECT_EQ(f.Input(1).Name, setup::WordName("Mine"));
    EXPECT_EQ(f.Input(2).Name, setup::FixedName("")) << "entries read before the failure too";
    EXPECT_EQ(f.inputs.CellText(1, kName), "");
    EXPECT_EQ(f.rig.sent.back(), "XSTOP");
}

TEST(IoEditor, AWriteReleasesEveryPinFirstAndAFailedSecondRelayRestoresEveryEntry) {
    IoRig r(1);
    for (int row = 0; row < 4; ++row) {
        r.inputs.Type(row, kName, "New " + std::to_string(row + 1));
        r.relays.Type(row, kName, "New " + std::to_string(row + 1));
    }
    Instrument(r.rig, "GB2 1,New_2");
    EXPECT_FALSE(r.editor.DnLoad());
    EXPECT_EQ(r.rig.dialogs.Texts(),
              Texts{"Input/Relay 2  download error.\nRestoring original Delvar data."});

    const auto& sent = r.rig.sent;
    const auto first = std::find(sent.begin(), sent.end(), "GA1 3,0");
    ASSERT_NE(first, sent.end());
    EXPECT_EQ(std::vector<std::string>(first, first + 8),
              (Texts{"GA1 3,0", "GB1 5,0", "GA2 3,0", "GB2 5,0", "GA3 3,0", "GB3 5,0", "GA4 3,0",
                     "GB4 5,0"}));
    const std::string new1 = setup::WordName("New 1");
    EXPECT_EQ(first[8], "GA1 1," + new1 + " 5,0 2,0 3,0") << "no UsedBy item";
    EXPECT_EQ(first[9], "GB1 1," + new1 + " 7,0 2,0 3,0 4,0 5,0");
    EXPECT_THAT(first[11], StartsWith("GB2 1,New_2"));
    // The restore: the pins released again, then every entry as the instrument held it.
    const std::vector<std::string> restore(first + 12, sent.end() - 1);
    ASSERT_EQ(restore.size(), 16u);
    EXPECT_EQ(restore[0], "GA1 3,0");
    for (int k = 1; k <= 4; ++k) {
        const std::string n = std::to_string(k), pin = std::to_string(k + 1);
        const std::string old = setup::FixedName("Old_" + n);
        EXPECT_EQ(restore[std::size_t(6 + 2 * k)], "GA" + n + " 1," + old + " 5,0 2,1 3," + pin);
        EXPECT_EQ(restore[std::size_t(7 + 2 * k)],
                  "GB" + n + " 1," + old + " 7,0 2,1 3,1 4,1500 5," + pin);
    }
    EXPECT_EQ(sent.back(), "XSTOP");
    EXPECT_TRUE(r.editor.Changed());
    EXPECT_EQ(r.Input(1).Name, setup::WordName("New 1")) << "the operator's entries stay";

    r.rig.dialogs.ClearRecord();
    Instrument(r.rig, "GB2 1,");  // the restore fails too
    r.editor.DnLoad();
    EXPECT_EQ(r.rig.dialogs.LastText(), "Input/Relay 2 error restoring original Delvar data.");
    r.rig.dialogs.ClearRecord();
    r.rig.sent.clear();
    Instrument(r.rig, "GA3?");
    r.editor.DnLoad();
    EXPECT_EQ(r.rig.dialogs.Texts(), Texts{"Input/Relay 3 error saving existing Delvar data."});
    EXPECT_THAT(r.rig.sent, ::testing::Not(::testing::Contains(HasSubstr(" 3,0"))));
}

TEST(IoEditor, SaveNeedsTheInstrumentAsksWhenChangedAndCopiesIntoTheSetup) {
    IoRig off(4, false);
    EXPECT_FALSE(off.view.transfers);
    EXPECT_FALSE(off.view.monitorBox);
    off.inputs.Type(0, kName, "Door");
    EXPECT_FALSE(off.editor.Save()) << "the window stays open";
    EXPECT_EQ(off.rig.dialogs.LastText(), "Cannot save changes because Delvar is not online.");
    EXPECT_EQ(off.rig.dialogs.messages[0].title, "Save IO");
    EXPECT_EQ(off.rig.setup->inputs[1].Name, setup::FixedName(""));

    IoRig r;
    Instrument(r.rig);
    r.inputs.Type(0, kName, "Door");
    r.rig.dialogs.answers = {core::MessageAnswer::Cancel};
    EXPECT_TRUE(r.editor.Save());
    EXPECT_EQ(r.rig.setup->inputs[1].Name, setup::FixedName("")) << "abandoned";
    EXPECT_EQ(r.rig.dialogs.messages[0].buttons, core::MessageButtons::OkCancel);
    EXPECT_THAT(r.rig.dialogs.LastText(), StartsWith("IO changes must be written to Delvar"));
    EXPECT_TRUE(r.rig.sent.empty());

    r.rig.dialogs.answers = {core::MessageAnswer::Ok};
    EXPECT_TRUE(r.editor.Save());
    EXPECT_THAT(r.rig.sent, ::testing::Contains(StartsWith("GA1 1,Door")));
    EXPECT_EQ(r.rig.setup->inputs[1].Name, setup::WordName("Door"));
    r.rig.dialogs.ClearRecord();
    EXPECT_TRUE(r.editor.Save());
    EXPECT_TRUE(r.rig.dialogs.messages.empty()) << "nothing changed since the write";
}

// The counts of GCk? as "1,<input> 2,<relay>".
struct Counts {
    std::array<int, 17> input{}, relay{};
    std::function<void()> during;  // run while the exchange of GC2 waits
    void Answer(CommandRig& rig) {
        rig.respond = [this](const std::string& c) -> testing::Answer {
            if (c.rfind("GC", 0) != 0) return {};
            const int k = std::stoi(c.substr(2));
            if (k == 2 && during) std::exchange(during, nullptr)();
            return {'A', "1," + std::to_string(input[std::size_t(k)]) + " 2," +
                             std::to_string(relay[std::size_t(k)])};
        };
    }
};

TEST(IoEditor, TheMonitorPaintsRowsFromTheCountsAndWaitsOutABusyLink) {
    IoRig r(2);
    Counts counts;
    counts.Answer(r.rig);
    counts.input[1] = 1;
    r.editor.SetMonitor(true);
    EXPECT_TRUE(r.view.timer);
    EXPECT_FALSE(r.view.transfers) << "no transfer while the monitor runs";
    r.editor.MonitorTick();
    EXPECT_EQ(r.rig.sent.size(), 8u) << "entries 1-8 of two channels";
    EXPECT_EQ(r.rig.sent.front(), "GC1? 1 2");
    EXPECT_EQ(r.inputs.RowColour(0), kIoOn);
    EXPECT_EQ(r.inputs.RowColour(1), kIoOff);
    EXPECT_EQ(r.relays.RowColour(2), kIoOff);
    EXPECT_EQ(r.relays.RowColour(8), kIoNormal) << "beyond the instrument's entries";

    counts.relay[3] = 1;  // the relay switches on, then off again
    r.editor.MonitorTick();
    EXPECT_EQ(r.relays.RowColour(2), kIoOn);
    counts.relay[3] = 0;
    // A tick that finds another exchange waiting shows nothing and says nothing.
    counts.during = [&] { r.editor.MonitorTick(); };
    r.editor.MonitorTick();
    EXPECT_EQ(r.relays.RowColour(2), kIoOff) << "the outer tick";
    counts.relay[3] = 1;
    counts.during = [&] {
        r.editor.MonitorTick();
        EXPECT_EQ(r.relays.RowColour(2), kIoOff) << "the refused tick painted nothing";
    };
    r.editor.MonitorTick();
    EXPECT_TRUE(r.rig.dialogs.messages.empty());
    EXPECT_TRUE(r.editor.Monitoring());

    // Cleared while a tick waits for a reply: the tick ends with normal rows.
    counts.during = [&] { r.editor.SetMonitor(false); };
    r.editor.MonitorTick();
    for (int row = 0; row < 16; ++row) {
        EXPECT_EQ(r.inputs.RowColour(row), kIoNormal) << row;
        EXPECT_EQ(r.relays.RowColour(row), kIoNormal) << row;
    }
    EXPECT_FALSE(r.view.timer);
    EXPECT_TRUE(r.view.transfers);
    const auto sent = r.rig.sent.size();
    r.editor.MonitorTick();
    EXPECT_EQ(r.rig.sent.size(), sent) << "a late tick after the stop sends nothing";
}

TEST(IoEditor, AMonitorThatLosesTheLineStopsWithAMessage) {
    IoRig r(1);
    Counts counts;
    counts.Answer(r.rig);
    counts.input = {1, 1, 1, 1, 1};
    r.editor.SetMonitor(true);
    r.editor.MonitorTick();
    EXPECT_EQ(r.inputs.RowColour(3), kIoOn);
    r.rig.AnswerAlways({'D', ""});
    r.editor.MonitorTick();
    EXPECT_FALSE(r.editor.Monitoring());
    EXPECT_FALSE(r.view.timer);
    EXPECT_EQ(r.inputs.RowColour(3), kIoNormal);
    EXPECT_EQ(r.rig.dialogs.Texts(),
              Texts{"Input/Relay 1 monitor error: Bad Data. The monitor is stopped."});
}

}  // namespace
}  // namespace delvar::testing
