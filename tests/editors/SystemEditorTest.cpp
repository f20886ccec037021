// The system editor over the fake grid and the simulator's responder: lists,
// defaults for empty entries, ranges and their messages, the transfers, Cancel, and
// errors raised inside a handler.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "commands/CommandRig.h"
#include "core/ErrHandlerRig.h"
#include "editors/SystemEditor.h"
#include "sim/Responder.h"
#include "support/FakeGrid.h"

namespace delvar::testing {
namespace {

using editors::SystemEditor;

enum Row { kPeriod, kSimulate, kTooling, kMinFreq, kMaxFreq, kDevGraph, kPassEnable, kPassword };

struct SystemRig {
    SystemRig() {
        rig.link.MutableInfo().Online = true;
        rig.respond = [this](const std::string& command) {
            if (failing && failing(command)) return Answer{'D', ""};
            const sim::Reply reply = instrument.Respond(command);
            return Answer{reply.status, reply.data};
        };
        editor.Open();
    }
    std::string Type(int row, const std::string& text) {
        grid.Type(row, 1, text, FakeGrid::Ending::Enter);
        return grid.CellText(row, 1);
    }
    setup::SystemRec& System() { return rig.setup->system; }

    CommandRig rig;
    sim::Responder instrument{sim::InstrumentModel{}};
    std::function<bool(const std::string&)> failing;
    setup::NoProgress progress;
    editors::EditorContext context{rig.link, *rig.setup, rig.dialogs, progress};
    FakeGrid grid;
    SystemEditor editor{context, grid};
};

TEST(SystemEditor, RowsShowTheRecordAndListsStoreTheirEntries) {
    SystemRig r;
    EXPECT_EQ(r.grid.Rows(), 11);
    EXPECT_EQ(r.grid.Heading(1), "Value");
    EXPECT_EQ(r.grid.CellText(10, 0), "Attn. Enabled");
    EXPECT_EQ(r.grid.CellText(kPeriod, 1), "0.25");
    EXPECT_EQ(r.grid.CellText(kSimulate, 1), "Off");
    EXPECT_EQ(r.grid.CellText(kMaxFreq, 1), "6.1");
    r.grid.Choose(kPeriod, 1, 1);
    EXPECT_EQ(r.System().Period, 0.15);
    EXPECT_EQ(r.grid.CellText(kPeriod, 1), "0.15");
    r.grid.Choose(kDevGraph, 1, 2);
    EXPECT_EQ(r.System().Dev_Graph, 20) << "the entry's number";
    EXPECT_EQ(r.grid.List(kDevGraph, 1), (Texts{"5", "10", "20", "50"}));
    r.grid.Choose(kPassEnable, 1, 1);
    EXPECT_EQ(r.System().Pass_Enable, 1);
    EXPECT_EQ(r.grid.CellText(kPassEnable, 1), "On");
    r.grid.Choose(kPassEnable, 1, -1);
    EXPECT_EQ(r.System().Pass_Enable, 1) << "no choice leaves the field";
    r.grid.Point(kPassword);
    EXPECT_EQ(r.grid.ToolTip(), "System password: 1111 to 6666.");
    EXPECT_TRUE(r.rig.dialogs.messages.empty());
}

TEST(SystemEditor, NumbersGetTheirDefaultsRangesAndMessages) {
    SystemRig r;
    EXPECT_EQ(r.Type(kTooling, "5"), "100");
    EXPECT_EQ(r.rig.dialogs.LastText(), "Valid System Tooling values are 10 to 399");
    EXPECT_EQ(r.Type(kTooling, "150.5"), "150") << "halves to even";
    EXPECT_EQ(r.System().System_Tooling, 150);
    r.rig.dialogs.ClearRecord();
    for (const char* refused : {"1e309", "nan", "1,5", "150abc"})
        EXPECT_EQ(r.Type(kTooling, refused), "150") << refused;
    EXPECT_EQ(r.rig.dialogs.Texts(), Texts(4, "Valid System Tooling values are 10 to 399"));
    EXPECT_EQ(r.Type(kTooling, "0"), "100") << "zero takes the default";

    EXPECT_EQ(r.Type(kMaxFreq, "6.3"), "6.3");
    EXPECT_EQ(r.Type(kMaxFreq, "6.6"), "6.3");
    EXPECT_EQ(r.rig.dialogs.LastText(), "Valid Max.Freq. values are 1 to 6.5");
    EXPECT_EQ(r.Type(kMinFreq, "6.2"), "5");
    EXPECT_EQ(r.rig.dialogs.LastText(), "Valid Min. Freq. values are 1 to 6.1");
    EXPECT_EQ(r.Type(kMinFreq, ""), "5") << "default 5.0";
    EXPECT_EQ(r.System().Min_Freq, 5.0);

    EXPECT_EQ(r.Type(kPassword, ""), "5937") << "a cleared password";
    EXPECT_EQ(r.System().Password, 5937);
    EXPECT_EQ(r.Type(kPassword, "6667"), "5937");
    EXPECT_EQ(r.rig.dialogs.LastText(), "Valid Password values are 1111 to 6666");
    EXPECT_EQ(r.Type(kPassword, "1111"), "1111");
}

TEST(SystemEditor, ReadIsBracketedWriteIsNotAndCancelRestoresTheOpeningRecord) {
    SystemRig r;
    const setup::SystemRec opening = r.System();
    r.Type(kTooling, "250");
    r.editor.UpLoad();
    EXPECT_EQ(r.rig.sent, (Texts{"XSTART", "B?  1 2 5 6 7 14 15 16 17 18 19", "XSTOP"}));
    EXPECT_EQ(r.System().Period, 0.25) << "the instrument's";
    EXPECT_EQ(r.System().Simulate_Mode, 1) << "the instrument's";
    EXPECT_EQ(r.grid.CellText(kSimulate, 1), "On");
    EXPECT_EQ(r.grid.CellText(kTooling, 1), "100");

    r.rig.sent.clear();
    r.Type(kTooling, "222");
    r.editor.DnLoad();
    ASSERT_EQ(r.rig.sent.size(), 1u);
    EXPECT_THAT(r.rig.sent[0], ::testing::StartsWith("B 1,25 2,222 "));
    EXPECT_TRUE(r.rig.dialogs.messages.empty());

    r.editor.Cancel();
    EXPECT_EQ(r.System(), opening) << "also undoes the read";
}

TEST(SystemEditor, FailedTransfersShowTheirMessageAndAFailedReadChangesNothing) {
    SystemRig r;
    r.Type(kPassword, "2222");
    const setup::SystemRec before = r.System();
    r.failing = [](const std::string& c) { return c.rfind("B", 0) == 0; };
    r.editor.UpLoad();
    EXPECT_EQ(r.rig.dialogs.LastText(), "System Upload Error");
    EXPECT_EQ(r.System(), before);
    EXPECT_EQ(r.grid.CellText(kPassword, 1), "2222");
    EXPECT_EQ(r.rig.sent.back(), "XSTOP");
    r.editor.DnLoad();
    EXPECT_EQ(r.rig.dialogs.LastText(), "System Download Error");
    EXPECT_EQ(std::count(r.rig.sent.begin(), r.rig.sent.end(), "XSTART"), 1) << "the read's only";
}

TEST(SystemEditor, AnErrorInAHandlerIsReportedUnderItsNameAndEndsOnlyThatHandler) {
    HandlerRig errors;
    SystemRig r;
    r.rig.link.Errors = errors.handler.get();
    const auto raise = [] { throw std::out_of_range("Subscript out of range"); };
    r.grid.onRead = raise;
    r.grid.Choose(kDevGraph, 1, 3);
    EXPECT_EQ(errors.handler->ErrorProc(), "frmSystem_grdSystem_AfterEdit");
    r.grid.Type(kTooling, 1, "250", FakeGrid::Ending::Enter);
    r.grid.onRead = nullptr;
    EXPECT_EQ(errors.dialogs.LastText(),
              "The following error has occurred in procedure: \nfrmSystem_grdSystem_KeyPress on "
              "line 0\nError (9) Subscript out of range");
    EXPECT_EQ(r.System().Dev_Graph, 0);
    EXPECT_EQ(r.System().System_Tooling, 100);

    r.failing = [&](const std::string& c) {
        if (c.rfind("B ", 0) == 0) raise();
        return false;
    };
    r.editor.DnLoad();
    EXPECT_EQ(errors.handler->ErrorProc(), "frmSystem_cmdDnLoad_Click");
    EXPECT_FALSE(r.editor.Transferring()) << "the window can close";
    EXPECT_EQ(errors.handler->Depth(), 0);
    EXPECT_EQ(errors.dialogs.messages.size(), 3u);
    EXPECT_TRUE(r.rig.dialogs.messages.empty()) << "no transfer message besides the report";
}

}  // namespace
}  // namespace delvar::testing
