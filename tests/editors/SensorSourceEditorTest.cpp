// The sensor and source editors over the fake grid and the simulator's responder:
// typed values and their messages, the blanked and locked cells, dual pairing, the
// check boxes by channel count, the transfers with their backup and restore, Save, and
// errors raised inside a handler.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "commands/CommandRig.h"
#include "core/ErrHandlerRig.h"
#include "editors/SensorSourceEditor.h"
#include "sim/Responder.h"
#include "support/FakeGrid.h"

namespace delvar::testing {
namespace {

using editors::ChannelKind;
using editors::SensorSourceEditor;
using ::testing::Contains;
using ::testing::Not;

using enum editors::ChannelRow;

struct FakeChannelView final : editors::SensorSourceView {
    void ShowSelect(int n, bool enabled, bool ticked) override {
        select.at(std::size_t(n - 1)) = {enabled, ticked};
    }
    void SetTransfersEnabled(bool enabled) override { transfers = enabled; }
    void SetBusy(bool on) override {
        if (on && failBusy) throw std::out_of_range("Subscript out of range");
        busy = on;
    }
    std::array<std::pair<bool, bool>, 4> select{};  // enabled, ticked
    bool transfers = false;
    bool busy = false;
    bool failBusy = false;  // showing the hourglass raises an error
};

// The editor on a link whose instrument is the simulator's responder; commands for
// which `failing` says so are answered Bad Data instead.
struct ChannelRig {
    explicit ChannelRig(ChannelKind kind = ChannelKind::Sensors, int channels = 4,
                        bool online = true)
        : rig(channels), instrument(sim::InstrumentModel{"6.30", channels}) {
        rig.link.MutableInfo().Online = online;
        rig.respond = [this](const std::string& command) {
            if (failing && failing(command)) return Answer{'D', ""};
            const sim::Reply reply = instrument.Respond(command);
            return Answer{reply.status, reply.data};
        };
        editor = std::make_unique<SensorSourceEditor>(kind, context, view, grid);
        editor->Open();
    }
    // The instrument's value of parameter p of sensor (or source) n.
    std::string OnInstrument(const char* letters, int n, int p) {
        return instrument.Respond(letters + std::to_string(n) + "? " + std::to_string(p)).data;
    }
    bool Blank(int row, int col) const {
        return grid.Locked(row, col) &&
               grid.TextColour(row, col) == editors::GridColour{255, 255, 255};
    }
    std::string Type(int row, int col, const std::string& text) {
        grid.Type(row, col, text, FakeGrid::Ending::Enter);
        return grid.CellText(row, col);
    }

    CommandRig rig;
    sim::Responder instrument;
    std::function<bool(const std::string&)> failing;
    setup::NoProgress progress;
    editors::EditorContext context{rig.link, *rig.setup, rig.dialogs, progress};
    FakeChannelView view;
    FakeGrid grid;
    std::unique_ptr<SensorSourceEditor> editor;
};

TEST(SensorEditor, TypedValuesAreTakenWholeOrRefusedWithTheRowsMessage) {
    ChannelRig r;
    EXPECT_EQ(r.grid.Heading(1), "Sensor 1");
    EXPECT_EQ(r.grid.CellText(kFirst, 0), "Tooling Factor");
    EXPECT_EQ(r.Type(kFirst, 1, "250"), "250");
    EXPECT_EQ(r.Type(kFirst, 1, "400"), "250") << "the cell gets back the stored value";
    EXPECT_EQ(r.rig.dialogs.LastText(), "Valid Tooling values are  0 to 399");
    EXPECT_EQ(r.Type(kFirst, 1, "12.5"), "12") << "halves to even";
    EXPECT_EQ(r.editor->Value(1, kFirst), 12);
    r.rig.dialogs.ClearRecord();
    for (const char* refused : {"1e309", "nan", "1,5", "12abc", "-1"})
        EXPECT_EQ(r.Type(kFirst, 1, refused), "12") << refused;
    EXPECT_EQ(r.rig.dialogs.Texts(), Texts(5, "Valid Tooling values are  0 to 399"));
    EXPECT_EQ(r.Type(kFirst, 1, " "), "0.0") << "a blank entry is 0";
    EXPECT_EQ(r.editor->Value(1, kFirst), 0);

    r.grid.Choose(kShutter, 2, 2);  // "Yes": the delay can be typed
    EXPECT_EQ(r.Type(kDelay, 2, "0.25"), "0.25");
    EXPECT_EQ(r.Type(kDelay, 2, "10"), "0.25");
    EXPECT_EQ(r.rig.dialogs.LastText(), "Valid Shutter Delay values are 0 to 9.9");
    EXPECT_TRUE(r.editor->Changed());
    r.grid.Point(kIndexer);
    EXPECT_EQ(r.grid.ToolTip(), "Time to wait for crystal selection.");
}

TEST(SourceEditor, DiffersFromTheSensorEditorOnlyAsItsTableSays) {
    ChannelRig r(ChannelKind::Sources);
    EXPECT_EQ(r.grid.Heading(4), "Source 4");
    EXPECT_EQ(r.grid.CellText(kFirst, 0), "Voltage Scale");
    EXPECT_EQ(r.Type(kFirst, 1, "-2.55"), "-2.55") << "stored as typed";
    EXPECT_EQ(r.Type(kFirst, 1, "10.5"), "-2.55");
    EXPECT_EQ(r.rig.dialogs.LastText(), "Valid voltage values are  -10 to 10");
    r.grid.Choose(kShutter, 1, 1);
    EXPECT_EQ(r.grid.List(kShutter, 1), (Texts{"No", "Yes"}));
    EXPECT_EQ(r.grid.CellText(kShutter, 1), "Yes");
    EXPECT_FALSE(r.grid.Locked(kShutter, 2)) << "no dual pairing";
    EXPECT_EQ(r.grid.CellText(kShutter, 2), "No");
    r.Type(kDelay, 1, "12");
    EXPECT_EQ(r.rig.dialogs.LastText(), "Valid Shutter Delay values are  0 to 9.9");
    r.grid.Point(kFirst);
    EXPECT_EQ(r.grid.ToolTip(), "Maximum source voltage.");

    r.editor->UpLoad();
    EXPECT_THAT(r.rig.sent, Not(Contains("XSTART"))) << "a source read is not bracketed";
    EXPECT_THAT(r.rig.sent, Contains("HB1? 1 2 3 4 5 6 7 8 9"));
    EXPECT_EQ(r.editor->Value(1, kFirst), 10) << "the instrument's 100 tenths";
    r.rig.sent.clear();
    r.editor->DnLoad();
    EXPECT_EQ(r.rig.sent.front(), "XSTART");
    EXPECT_EQ(r.rig.sent.back(), "XSTOP");
}

TEST(SensorEditor, CellsThatDoNotApplyAreBlankedAndLockedWhenFilledAndAfterEachEdit) {
    ChannelRig r;
    EXPECT_TRUE(r.Blank(kDelay, 1)) << "Shutter No";
    for (int row : {kCurrent, kControl, kDrive, kFeedback, kIndexer}) EXPECT_TRUE(r.Blank(row, 1));
    r.grid.Choose(kShutter, 1, 2);
    EXPECT_FALSE(r.grid.Locked(kDelay, 1));
    r.grid.Choose(kPositions, 1, 5);  // 6 positions
    EXPECT_EQ(r.editor->Value(1, kPositions), 6);
    for (int row : {kCurrent, kControl, kFeedback, kIndexer}) EXPECT_FALSE(r.Blank(row, 1));
    EXPECT_TRUE(r.Blank(kDrive, 1)) << "Control Type Manual";
    r.grid.Choose(kControl, 1, 1);
    EXPECT_FALSE(r.grid.Locked(kDrive, 1)) << "Direct";
    r.grid.Choose(kDrive, 1, 5);
    EXPECT_EQ(r.grid.CellText(kDrive, 1), "2 Step");
    r.grid.Choose(kIndexer, 1, 42);
    EXPECT_EQ(r.editor->Value(1, kIndexer), 42) << "the position itself";
    r.grid.Choose(kControl, 1, -1);
    EXPECT_EQ(r.editor->Value(1, kControl), 1) << "no choice leaves the field";
    r.grid.Choose(kPositions, 1, 0);
    for (int row : {kCurrent, kControl, kDrive, kFeedback, kIndexer}) EXPECT_TRUE(r.Blank(row, 1));
    EXPECT_EQ(r.editor->Value(1, kDrive), 5) << "blanking keeps the value";

    // The same rules when the grid is filled.
    ChannelRig filled;
    setup::SensorRec& third = filled.rig.setup->sensors[3];
    third.Num_Positions = 4;
    third.Control_Type = 1;
    third.Shutter = 2;
    filled.editor->Open();
    EXPECT_FALSE(filled.grid.Locked(kDrive, 3));
    EXPECT_FALSE(filled.grid.Locked(kDelay, 3));
    EXPECT_EQ(filled.grid.TextColour(kDrive, 3), editors::GridColour{});
}

TEST(SensorEditor, DualPairsSensorsOneAndTwoAndThreeAndFourBothWays) {
    ChannelRig r;
    for (const int lead : {1, 3}) {
        r.grid.Choose(kShutter, lead, 1);
        EXPECT_EQ(r.grid.CellText(kShutter, lead + 1), "Dual");
        EXPECT_EQ(r.editor->Value(lead + 1, kShutter), 1);
        EXPECT_TRUE(r.grid.Locked(kShutter, lead + 1));
        EXPECT_FALSE(r.grid.Locked(kDelay, lead + 1)) << "a dual partner has a delay";
        r.grid.Choose(kShutter, lead, 2);
        EXPECT_EQ(r.grid.CellText(kShutter, lead + 1), "No");
        EXPECT_FALSE(r.grid.Locked(kShutter, lead + 1));
        EXPECT_TRUE(r.Blank(kDelay, lead + 1));
    }
    // A partner with a shutter of its own keeps it when its lead changes between No and Yes.
    r.grid.Choose(kShutter, 2, 2);
    r.grid.Choose(kShutter, 1, 0);
    EXPECT_EQ(r.grid.CellText(kShutter, 2), "Yes");
    r.grid.Choose(kShutter, 2, 1);  // the second of a pair pairs nothing by itself
    EXPECT_EQ(r.grid.CellText(kShutter, 1), "No");
    EXPECT_EQ(r.grid.CellText(kShutter, 3), "Yes");
}

TEST(SensorEditor, ChannelCountTwoTicksSensorsOneAndTwoAndMovesInputsAndRelaysOneToEight) {
    ChannelRig r(ChannelKind::Sensors, 2);
    EXPECT_TRUE(r.view.transfers);
    EXPECT_EQ(r.view.select[1], std::make_pair(true, true));
    EXPECT_EQ(r.view.select[2], std::make_pair(false, false));
    r.editor->SelectClicked(3, true);  // not there: ignored
    r.Type(kFirst, 1, "7");
    r.editor->UpLoad();
    EXPECT_EQ(r.rig.sent.front(), "XSTART");
    EXPECT_EQ(r.rig.sent.back(), "XSTOP");
    EXPECT_THAT(r.rig.sent, Contains("HA2? 1 2 3 4 5 6 7 8 9"));
    EXPECT_THAT(r.rig.sent, Not(Contains("HA3? 1 2 3 4 5 6 7 8 9")));
    EXPECT_THAT(r.rig.sent, Contains("GB8? 1 2 3 4 5 6 7"));
    EXPECT_THAT(r.rig.sent, Not(Contains("GA9? 1 2 3 4 5")));
    EXPECT_EQ(r.grid.CellText(kFirst, 1), "100") << "the instrument's tooling";
    EXPECT_EQ(r.editor->Inputs()[8].Name, setup::FixedName("Input8"));
    EXPECT_EQ(r.editor->Inputs()[9].Name, r.rig.setup->inputs[9].Name);
    EXPECT_FALSE(r.editor->Changed());

    ChannelRig offline(ChannelKind::Sensors, 4, false);
    EXPECT_FALSE(offline.view.transfers);
    EXPECT_EQ(offline.view.select[0], std::make_pair(false, false));
}

TEST(SensorEditor, AFailedReadPutsTheFormDataBack) {
    ChannelRig r;
    r.Type(kFirst, 1, "250");
    r.failing = [](const std::string& c) { return c.rfind("GA3?", 0) == 0; };
    r.editor->UpLoad();
    EXPECT_EQ(r.rig.dialogs.LastText(), "Sensor 1 upload error.  Original form data restored.");
    EXPECT_EQ(r.grid.CellText(kFirst, 1), "250");
    EXPECT_EQ(r.editor->Inputs()[1].Name, r.rig.setup->inputs[1].Name) << "inputs too";
    EXPECT_TRUE(r.editor->Changed());
    EXPECT_EQ(r.rig.sent.back(), "XSTOP");
}

TEST(SensorEditor, AWriteWhoseSecondSensorFailsRestoresBothFromTheBackup) {
    for (const bool restoreFails : {false, true}) {
        ChannelRig r;
        r.editor->SelectClicked(3, false);
        r.editor->SelectClicked(4, false);
        r.Type(kFirst, 1, "250");
        r.Type(kFirst, 2, "300");
        int writes = 0;
        r.failing = [&](const std::string& c) {
            return c.rfind("HA2 ", 0) == 0 && (restoreFails || ++writes == 1);
        };
        r.editor->DnLoad();
        Texts expected = {"Sensor 2  download error.\nRestoring original Delvar data."};
        if (restoreFails) expected.push_back("Sensor 2 error restoring original Delvar data.");
        EXPECT_EQ(r.rig.dialogs.Texts(), expected);
        EXPECT_EQ(r.OnInstrument("HA", 1, 1), "1,100") << "sensor 1 written back";
        EXPECT_EQ(r.OnInstrument("HA", 2, 1), "1,100");
        EXPECT_EQ(r.grid.CellText(kFirst, 1), "250") << "the form keeps the edits";
        EXPECT_TRUE(r.editor->Changed());
        EXPECT_EQ(r.rig.sent.back(), "XSTOP");
    }

    ChannelRig saving;
    saving.failing = [](const std::string& c) { return c.rfind("HA1?", 0) == 0; };
    saving.editor->DnLoad();
    EXPECT_EQ(saving.rig.dialogs.Texts(), Texts{"Sensor 1 error saving existing Delvar data."});
    EXPECT_THAT(saving.rig.sent, Not(Contains(::testing::StartsWith("HA1 "))));

    ChannelRig written;
    written.Type(kFirst, 3, "321");
    written.editor->DnLoad();
    EXPECT_TRUE(written.rig.dialogs.Texts().empty());
    EXPECT_EQ(written.OnInstrument("HA", 3, 1), "1,321");
    EXPECT_FALSE(written.editor->Changed());
}

TEST(SensorEditor, SaveAsksWhenChangedKeepsTheWindowOffLineAndCancelTouchesNothing) {
    ChannelRig offline(ChannelKind::Sensors, 4, false);
    offline.Type(kFirst, 1, "250");
    EXPECT_FALSE(offline.editor->Save()) << "the window stays open";
    ASSERT_EQ(offline.rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(offline.rig.dialogs.messages[0].text,
              "Cannot save changes because Delvar is not online.");
    EXPECT_EQ(offline.rig.dialogs.messages[0].title, "Save Sensor");
    EXPECT_EQ(offline.rig.setup->sensors[1].Tooling, 0);

    ChannelRig r;
    r.Type(kFirst, 1, "250");
    r.rig.dialogs.answers = {core::MessageAnswer::Cancel};
    EXPECT_TRUE(r.editor->Save());
    EXPECT_EQ(r.rig.dialogs.LastText(),
              "Sensor changes must be written to Delvar, so that I/O can be configured.\n"
              "Click OK to save now or Cancel to abandon changes.");
    EXPECT_EQ(r.rig.setup->sensors[1].Tooling, 0) << "Cancel: nothing copied";
    EXPECT_TRUE(r.rig.sent.empty());

    r.rig.dialogs.answers = {core::MessageAnswer::Ok};
    EXPECT_TRUE(r.editor->Save());
    EXPECT_EQ(r.OnInstrument("HA", 1, 1), "1,250") << "written first";
    EXPECT_EQ(r.rig.setup->sensors[1].Tooling, 250);
    EXPECT_EQ(r.rig.setup->inputs[5].Name, setup::FixedName("Input5")) << "read back";

    ChannelRig unchanged(ChannelKind::Sources);
    unchanged.rig.setup->sources[2].Voltage_Scale = 3;  // after opening: Save gives its copy
    EXPECT_TRUE(unchanged.editor->Save());
    EXPECT_TRUE(unchanged.rig.dialogs.messages.empty());
    EXPECT_EQ(unchanged.rig.setup->sources[2].Voltage_Scale, 0);
}

// The message of an error reported in procedure.
std::string ReportedIn(const std::string& procedure) {
    return "The following error has occurred in procedure: \n" + procedure +
           " on line 0\nError (9) Subscript out of range";
}

TEST(SensorEditor, AnErrorInAHandlerIsReportedUnderItsNameAndEndsOnlyThatHandler) {
    HandlerRig errors;
    ChannelRig r;
    r.rig.link.Errors = errors.handler.get();
    r.grid.onRead = [] { throw std::out_of_range("Subscript out of range"); };
    r.grid.Type(kFirst, 1, "250", FakeGrid::Ending::FocusLost);
    r.grid.Choose(kShutter, 1, 1);
    r.grid.onRead = nullptr;
    EXPECT_EQ(errors.dialogs.Texts(), (Texts{ReportedIn("frmSensors_grdSensor_LostFocus"),
                                             ReportedIn("frmSensors_grdSensor_AfterEdit")}));
    EXPECT_EQ(r.editor->Value(1, kFirst), 0);
    EXPECT_EQ(r.editor->Value(2, kShutter), 0) << "the edit ended before the pairing";
    EXPECT_EQ(errors.handler->Depth(), 0);

    // A transfer ended by an error gives the window back its controls.
    r.view.failBusy = true;
    r.editor->UpLoad();
    EXPECT_EQ(errors.handler->ErrorProc(), "frmSensors_cmdUpLoad_Click");
    EXPECT_FALSE(r.editor->Transferring());
    EXPECT_TRUE(r.view.transfers);
    r.view.failBusy = false;
    r.editor->UpLoad();
    EXPECT_EQ(r.grid.CellText(kFirst, 1), "100") << "the next read runs";

    // Save's write fails inside Save, which still gives its copy to the setup.
    r.Type(kFirst, 1, "250");
    ASSERT_TRUE(errors.handler->ClearLog());
    r.view.failBusy = true;
    r.rig.dialogs.answers = {core::MessageAnswer::Ok};
    EXPECT_TRUE(r.editor->Save());
    EXPECT_EQ(errors.handler->ErrorProc(), "frmSensors_cmdDnLoad_Click");
    const auto report = errors.ReportLines();
    ASSERT_GE(report.size(), 12u);
    EXPECT_EQ(report[10], "01  frmSensors_cmdSave_Click");
    EXPECT_EQ(report[11], "02    frmSensors_cmdDnLoad_Click");
    EXPECT_EQ(r.rig.setup->sensors[1].Tooling, 250);
    EXPECT_EQ(errors.handler->Depth(), 0);

    ChannelRig sources(ChannelKind::Sources);
    sources.rig.link.Errors = errors.handler.get();
    sources.grid.onRead = [] { throw std::out_of_range("Subscript out of range"); };
    sources.grid.Type(kFirst, 1, "5", FakeGrid::Ending::Enter);
    EXPECT_EQ(errors.dialogs.LastText(), ReportedIn("frmSources_grdSource_KeyPress"));
}

}  // namespace
}  // namespace delvar::testing
