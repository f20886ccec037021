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
    EXPECT_EQ(r.grids[kControl].Rows(), 9);
    EXPECT_EQ(r.grids[kRamps].Rows(), 12);  // ramps 1 to 3 only
    EXPECT_EQ(r.grids[kRamps].Heading(0), "Rate Ramps");
    EXPECT_EQ(r.grids[kSetup].Heading(1), "Value");
    EXPECT_EQ(r.grids[kSetup].CellText(1, 0), "Final Thick.");
    EXPECT_EQ(r.grids[kRamps].CellText(11, 0), "Ramp3 Time");
    EXPECT_EQ(r.Cell(kSetup, 0), "12.5");
    EXPECT_EQ(r.Cell(kSetup, 1), "1.250");
    EXPECT_EQ(r.Cell(kSetup, 2), "1:02:05");
    EXPECT_EQ(r.Cell(kSetup, 4), "Auto");
    EXPECT_EQ(r.Cell(kSetup, 5), "On");
    EXPECT_EQ(r.Cell(kSetup, 6), "Off");
    EXPECT_EQ(r.Cell(kSetup, 9), "3");
    EXPECT_EQ(r.Cell(kControl, 3), "7");  // Pwr Alarm: a plain number
    EXPECT_EQ(r.Cell(kControl, 7), "10.0");
    EXPECT_EQ(r.Cell(kRamps, 4), "Disable");
    EXPECT_EQ(r.editor->FilmPosition(), 3);
    EXPECT_EQ(r.editor->FilmNames().size(), 50u);

    // Each row's tooltip follows the pointer.
    r.grids[kControl].Point(2);
    EXPECT_EQ(r.grids[kControl].ToolTip(), "Minimum  power in % to trigger power alarm.");
    r.grids[kRamps].Point(3);
    EXPECT_EQ(r.grids[kRamps].ToolTip(), "Time to ramp to Rate Ramp1 setpoint.");
    r.grids[kRamps].Point(7);
    EXPECT_EQ(r.grids[kRamps].ToolTip(), "Time to ramp to Rate Ramp 2 setpoint.");
    r.grids[kSetup].Point(9);
    EXPECT_EQ(r.grids[kSetup].ToolTip(), "Select source output used for this layer?");
}

TEST(LayerEditor, NumberCellsStoreValuesInRangeAndRevertOthersWithTheirMessage) {
    LayerRig r;
    FakeGrid& setupGrid = r.grids[kSetup];
    setupGrid.Type(1, 1, "999.99");
    EXPECT_EQ(r.Layer().Final_Thick, 999.99);
    setupGrid.Type(1, 1, "999.995", Ending::Enter);
    setupGrid.Type(1, 1, "1000", Ending::FocusLost);
    EXPECT_EQ(r.Layer().Final_Thick, 999.99);
    EXPECT_EQ(r.Cell(kSetup, 1), "999.990");
    setupGrid.Type(0, 1, "999.9");
    EXPECT_EQ(r.Layer().Rate, 999.9);
    setupGrid.Type(0, 1, "999.95");
    EXPECT_EQ(r.Cell(kSetup, 0), "999.9");
    EXPECT_EQ(r.dialogs.Texts(),
              (Texts{"Valid Thickness values are 0 to 999.9",
                     "Valid Thickness values are 0 to 999.9", "Valid Rate values are 0 to 999.9"}));

    // Empty or letters count as 0: stored where 0 is allowed, refused in FS Rate.
    r.dialogs.ClearRecord();
    setupGrid.Type(0, 1, "");
    EXPECT_EQ(r.Layer().Rate, 0);
    EXPECT_EQ(r.Cell(kSetup, 0), "0");
    r.grids[kControl].Type(7, 1, "abc");
    EXPECT_EQ(r.Layer().FS_Rate, 10);
    EXPECT_EQ(r.Cell(kControl, 7), "10.0");
    r.grids[kControl].Type(3, 1, "99");
    r.grids[kControl].Type(3, 1, "99.5");
    EXPECT_EQ(r.Layer().Pwr_Alarm_Dev, 99);
    r.grids[kControl].Type(0, 1, "100");
    r.grids[kControl].Type(4, 1, "-1");
    r.grids[kControl].Type(8, 1, "0.05");
    EXPECT_EQ(
        r.dialogs.Texts(),
        (Texts{"Valid Rate values are 1 to 999.9", "Valid Alarm values are 0 to 99 sec.",
               "Valid Slew rate values are 0 to 99.9%/sec.", "Valid Alarm values are 0 to 99.9 %",
               "Valid Thickness values are 0.1 to 999.9"}));
    EXPECT_EQ(r.Layer().Slew_Rate1, 25);
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
    EXPECT_EQ(r.grids[kSetup].List(4, 1), (Texts{"Manual", "Auto"}));
    EXPECT_EQ(r.Layer().Start_Mode, 0);
    EXPECT_EQ(r.Cell(kSetup, 4), "Manual");
    r.grids[kSetup].Choose(9, 1, 3);
    EXPECT_EQ(r.grids[kSetup].List(9, 1), (Texts{"1", "2", "3", "4"}));
    EXPECT_EQ(r.Layer().Output_Number, 4);
    r.grids[kSetup].Choose(8, 1, 1);
    EXPECT_EQ(r.Layer().Sensor4, 1);
    r.grids[kRamps].Choose(8, 1, 1);
    EXPECT_EQ(r.grids[kRamps].List(8, 1), (Texts{"Disable", "Enable"}));
    EXPECT_EQ(r.Layer().Ramp3_Enabled, 1.0);
    EXPECT_EQ(r.Cell(kRamps, 8), "Enable");
    // Nothing chosen: the field and the cell stay.
    r.grids[kSetup].Choose(9, 1, -1);
    EXPECT_EQ(r.Layer().Output_Number, 4);
    EXPECT_EQ(r.Cell(kSetup, 9), "4");
    // The caption column is never taken as a value; number cells get no list.
    r.grids[kSetup].Type(0, 1, "5");
    EXPECT_TRUE(r.grids[kSetup].List(0, 1).empty());
    r.editor->Commit(kSetup, 0, 0);
    EXPECT_EQ(r.Layer().Rate, 5);
}

TEST(LayerEditor, FilmSelectorStoresTheFilmAndKeepsItWhenNothingIsSelected) {
    LayerRig r;
    EXPECT_EQ(r.editor->FilmChosen(9), 9);
    EXPECT_EQ(r.Layer().Film_Number, 10);
    EXPECT_EQ(r.editor->FilmChosen(-1), 9);
    EXPECT_EQ(r.Layer().Film_Number, 10);
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
    EXPECT_EQ(r.sent, (Texts{"XSTART", r.sent[1], "XSTOP", "XSTART", r.sent[4], "XSTOP"}));
    EXPECT_EQ(r.dialogs.Texts(), (Texts{"Layer Upload Error", "Layer Download Error"}));

    // A refused lock or unlock is no success either.
    r.dialogs.ClearRecord();
    r.respond = [](const std::string& c) { return c == "XSTOP" ? Answer{'C', ""} : Answer{}; };
    r.editor->Download();
    EXPECT_EQ(r.dialogs.Texts(), (Texts{"Layer Download Error"}));
}

TEST(LayerEditor, CancelPutsBackEveryLayerAsItWasWhenTheEditorOpened) {
    LayerRig r;
    const auto before = r.setup->layers;
    r.grids[kSetup].Type(0, 1, "50");
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
