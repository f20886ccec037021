#include "editors/LayerEditor.h"

#include <gtest/gtest.h>

#include <memory>

#include "commands/CommandRig.h"
#include "editors/TimeText.h"
#include "support/FakeGrid.h"

namespace delvar::editors {
namespace {

using namespace delvar::testing;
using Ending = FakeGrid::Ending;
enum { kSetup, kControl, kRamps };

struct LayerRig : CommandRig {
    static constexpr int kLayer = 7;
    setup::NoProgress progress;
    EditorContext context{link, *setup, dialogs, progress, 2, kLayer, 1};
    FakeGrid grids[3];
    std::unique_ptr<LayerEditor> editor;

    LayerRig() {
        setup::LayerRec& l = Layer();
        l.Rate = 12.5;
        l.Final_Thick = 1.25;
        l.Time_Setpoint = 3725;
        l.Start_Mode = 1;
        l.Output_Number = 3;
        l.Pwr_Alarm_Dev = 7;
        l.Film_Number = 4;
        editor = std::make_unique<LayerEditor>(
            context, std::array<GridView*, 3>{&grids[0], &grids[1], &grids[2]});
    }
    setup::LayerRec& Layer() { return setup->layers[kLayer]; }
    std::string Cell(int grid, int row) { return grids[grid].CellText(row, 1); }
};

TEST(LayerEditor, LaysOutTheThreeGridsAndShowsTheRecordInTheirFormats) {
    LayerRig r;
    EXPECT_EQ(r.grids[kSetup].Rows(), 10);
    EXPECT_EQ(r.grids[kRamps].Rows(), 12);  // ramps 1 to 3 only
    EXPECT_EQ(r.grids[kRamps].Heading(0), "Rate Ramps");
    EXPECT_EQ(r.grids[kRamps].CellText(11, 0), "Ramp3 Time");
    const Texts shown = {r.Cell(kSetup, 0),   r.Cell(kSetup, 1), r.Cell(kSetup, 2),
                         r.Cell(kSetup, 4),   r.Cell(kSetup, 6), r.Cell(kSetup, 9),
                         r.Cell(kControl, 3), r.Cell(kRamps, 4)};
    EXPECT_EQ(shown, (Texts{"12.5", "1.250", "1:02:05", "Auto", "Off", "3", "7", "Disable"}));

    // Each row's tooltip follows the pointer.
    r.grids[kControl].Point(2);
    EXPECT_EQ(r.grids[kControl].ToolTip(), "Minimum  power in % to trigger power alarm.");
    r.grids[kRamps].Point(3);
    EXPECT_EQ(r.grids[kRamps].ToolTip(), "Time to ramp to Rate Ramp1 setpoint.");
    r.grids[kRamps].Point(7);
    EXPECT_EQ(r.grids[kRamps].ToolTip(), "Time to ramp to Rate Ramp 2 setpoint.");
}

TEST(LayerEditor, NumberCellsStoreValuesInRangeAndRevertOthersWithTheirMessage) {
    LayerRig r;
    struct Entry {
        int grid, row;
        const char* typed;
        const char* cellAfter;
        std::string message;
    };
    const std::string thick = "Valid Thickness values are 0 to 999.9";
    const Entry entries[] = {
        {kSetup, 1, "999.99", "999.990", ""},
        {kSetup, 1, "999.995", "999.990", thick},
        {kSetup, 1, "1000", "999.990", thick},
        {kSetup, 0, "999.9", "999.9", ""},
        {kSetup, 0, "999.95", "999.9", "Valid Rate values are 0 to 999.9"},
        {kSetup, 0, "", "0.0", ""},  // an emptied cell is a zero entry
        {kControl, 7, "abc", "10.0", "Valid Rate values are 1 to 999.9"},
        {kControl, 3, "99", "99", ""},
        {kControl, 3, "99.5", "99", "Valid Alarm values are 0 to 99 sec."},
        {kControl, 0, "100", "25.0", "Valid Slew rate values are 0 to 99.9%/sec."},
        {kControl, 4, "-1", "0.0", "Valid Alarm values are 0 to 99.9 %"},
        {kControl, 8, "0.05", "10.0", "Valid Thickness values are 0.1 to 999.9"},
    };
    const Ending endings[] = {Ending::AfterEdit, Ending::Enter, Ending::FocusLost};
    int n = 0;
    for (const Entry& e : entries) {
        r.dialogs.ClearRecord();
        r.grids[e.grid].Type(e.row, 1, e.typed, endings[n++ % 3]);
        EXPECT_EQ(r.Cell(e.grid, e.row), e.cellAfter) << e.typed;
        EXPECT_EQ(r.dialogs.Texts(), e.message.empty() ? Texts{} : Texts{e.message}) << e.typed;
    }
    const setup::LayerRec& l = r.Layer();
    EXPECT_EQ(
        (std::vector<double>{l.Final_Thick, l.Rate, l.FS_Rate, l.Pwr_Alarm_Dev, l.Slew_Rate1}),
        (std::vector<double>{999.99, 0, 10, 99, 25}));
}

TEST(LayerEditor, EntriesNotWhollyOneNumberAreRefusedAndCellsShowWhatWillBeSent) {
    LayerRig r;
    struct Cell {
        int grid, row;
        std::string message;
    };
    const Cell cells[] = {{kSetup, 0, "Valid Rate values are 0 to 999.9"},
                          {kSetup, 2, kTimeMessage},
                          {kControl, 3, "Valid Alarm values are 0 to 99 sec."}};
    const setup::LayerRec before = r.Layer();
    for (const Cell& c : cells) {
        const std::string shown = r.Cell(c.grid, c.row);
        for (const char* typed : {"1e309", "nan", "1,5", "12abc", "abc", " 7 7 "}) {
            r.dialogs.ClearRecord();
            r.grids[c.grid].Type(c.row, 1, typed);
            EXPECT_EQ(r.dialogs.Texts(), Texts{c.message}) << typed;
            EXPECT_EQ(r.Cell(c.grid, c.row), shown) << typed << ": the cell reverts";
        }
    }
    EXPECT_TRUE(r.Layer() == before) << "nothing refused reached the record";

    // What the cell shows after an accepted entry is what the instrument gets.
    r.dialogs.ClearRecord();
    r.grids[kControl].Type(3, 1, "12.7");  // whole seconds
    r.grids[kSetup].Type(0, 1, " 2.26 ");
    r.grids[kSetup].Type(1, 1, "1e-1");
    EXPECT_EQ((Texts{r.Cell(kControl, 3), r.Cell(kSetup, 0), r.Cell(kSetup, 1)}),
              (Texts{"13", "2.3", "0.100"}));
    EXPECT_EQ(r.Layer().Pwr_Alarm_Dev, 13);
    EXPECT_TRUE(r.dialogs.messages.empty());
    r.editor->Download();
    ASSERT_GE(r.sent.size(), 2u);
    EXPECT_NE(r.sent[1].find(" 26,13 "), std::string::npos) << r.sent[1];
    r.Layer().Pwr_Alarm_Dev = 40.5;  // as an old file may hold it: it goes out as 40
    r.editor->LoadGrids();
    EXPECT_EQ(r.Cell(kControl, 3), "40");
}

TEST(LayerEditor, TimeCellsTakeTimesAndSecondsAndAlwaysShowTheRecord) {
    LayerRig r;
    r.grids[kSetup].Type(2, 1, "1:39:59");
    EXPECT_EQ(r.Layer().Time_Setpoint, 5999);
    r.grids[kRamps].Type(7, 1, "5999");
    EXPECT_EQ(r.Layer().Ramp2_Time, 5999);
    EXPECT_EQ(r.Cell(kRamps, 7), "1:39:59");
    r.grids[kRamps].Type(7, 1, "90");
    EXPECT_EQ(r.Cell(kRamps, 7), "0:01:30");
    EXPECT_TRUE(r.dialogs.messages.empty());
    r.grids[kSetup].Type(2, 1, "1:40:00");
    r.grids[kRamps].Type(7, 1, "6000", Ending::Enter);
    EXPECT_EQ(r.Layer().Time_Setpoint, 5999);
    EXPECT_EQ(r.Layer().Ramp2_Time, 90);
    EXPECT_EQ(r.Cell(kSetup, 2), "1:39:59");
    EXPECT_EQ(r.dialogs.Texts(), (Texts{kTimeMessage, kTimeMessage}));
}

TEST(LayerEditor, ListCellsOfferTheirChoicesAndStoreThePositionChosen) {
    LayerRig r;
    r.grids[kSetup].Choose(4, 1, 0);
    r.grids[kSetup].Choose(9, 1, 3);
    r.grids[kRamps].Choose(8, 1, 1);
    r.grids[kSetup].Choose(9, 1, -1);  // nothing chosen: the field and the cell stay
    EXPECT_EQ(r.grids[kSetup].List(4, 1), (Texts{"Manual", "Auto"}));
    EXPECT_EQ(r.grids[kSetup].List(9, 1), (Texts{"1", "2", "3", "4"}));
    EXPECT_EQ(r.grids[kRamps].List(8, 1), (Texts{"Disable", "Enable"}));
    const setup::LayerRec& l = r.Layer();
    EXPECT_EQ((std::vector<double>{double(l.Start_Mode), double(l.Output_Number), l.Ramp3_Enabled}),
              (std::vector<double>{0, 4, 1}));
    EXPECT_EQ((Texts{r.Cell(kSetup, 4), r.Cell(kSetup, 9), r.Cell(kRamps, 8)}),
              (Texts{"Manual", "4", "Enable"}));
    r.grids[kSetup].Type(0, 1, "5");  // a number cell gets no list
    EXPECT_TRUE(r.grids[kSetup].List(0, 1).empty());
}

TEST(LayerEditor, UploadAndDownloadAlwaysCloseTheTransferAndReportFailures) {
    LayerRig r;
    r.respond = [](const std::string& c) {
        return c.starts_with("D7?") ? Answer{'A', "1,250 2,3500 5,0"} : Answer{};
    };
    r.editor->Upload();
    EXPECT_EQ(r.sent.front(), "XSTART");
    EXPECT_EQ(r.sent.back(), "XSTOP");
    EXPECT_EQ(r.Layer().Rate, 25);
    EXPECT_EQ(r.Cell(kSetup, 1), "3.500");
    EXPECT_EQ(r.Cell(kSetup, 4), "Manual");
    EXPECT_TRUE(r.dialogs.messages.empty());

    // A failing read or write still ends with XSTOP, and says so.
    r.sent.clear();
    r.respond = [](const std::string& c) { return c[0] == 'D' ? Answer{'C', ""} : Answer{}; };
    r.editor->Upload();
    r.editor->Download();
    Texts heads;  // each command's first word
    for (const std::string& c : r.sent) heads.push_back(c.substr(0, c.find(' ')));
    EXPECT_EQ(heads, (Texts{"XSTART", "D7?", "XSTOP", "XSTART", "D7", "XSTOP"}));
    EXPECT_EQ(r.dialogs.Texts(), (Texts{"Layer Upload Error", "Layer Download Error"}));

    // A refused lock or unlock is no success either.
    r.dialogs.ClearRecord();
    r.respond = [](const std::string& c) { return c == "XSTOP" ? Answer{'C', ""} : Answer{}; };
    r.editor->Download();
    EXPECT_EQ(r.dialogs.Texts(), (Texts{"Layer Download Error"}));

    // An error raised in the middle still unlocks the instrument and frees the editor.
    r.sent.clear();
    r.respond = [](const std::string& c) -> Answer {
        if (c.starts_with("D7")) throw std::runtime_error("port gone");
        return Answer{};
    };
    EXPECT_THROW(r.editor->Download(), std::runtime_error) << "no error handler here";
    EXPECT_EQ(r.sent.back(), "XSTOP");
    EXPECT_FALSE(r.editor->Transferring());
}

TEST(LayerEditor, CancelPutsBackEveryLayerAsItWasWhenTheEditorOpened) {
    LayerRig r;
    const auto before = r.setup->layers;
    r.grids[kSetup].Type(0, 1, "50");
    EXPECT_EQ(r.editor->FilmPosition(), 3);
    EXPECT_EQ(r.editor->FilmChosen(9), 9);
    EXPECT_EQ(r.editor->FilmChosen(-1), 9);  // nothing selected: the film stays
    EXPECT_EQ(r.Layer().Film_Number, 10);
    r.respond = [](const std::string& c) {
        return c.starts_with("D") ? Answer{'A', "1,777 21,3"} : Answer{};
    };
    r.editor->Upload();
    r.editor->SetEditLayerNumber(12);
    r.grids[kControl].Type(0, 1, "12");
    EXPECT_EQ(r.context.currentLayer, 12);
    r.editor->SetEditLayerNumber(1000);  // ignored
    EXPECT_EQ(r.editor->EditLayerNumber(), 12);
    r.editor->Cancel();
    EXPECT_TRUE(r.setup->layers[7] == before[7]);
    EXPECT_TRUE(r.setup->layers[12] == before[12]);
}

}  // namespace
}  // namespace delvar::editors
