// The setup window's logic: the tree it shows, the layer operations by clicks, renaming,
// the transfer check boxes, the editors it opens, and closing.
#include <gtest/gtest.h>

#include <algorithm>

#include "editors/ProcessWindowRig.h"
#include "util/Text.h"

namespace delvar::testing {
namespace {

using core::MessageAnswer;
using Texts = std::vector<std::string>;

TEST(ProcessTree, ShowsChainsFromAFileAsTheWalkerReachesThemEvenWhenDamaged) {
    ProcessWindowRig r;
    r.settings.DatabaseFile = r.SavedFile(
        "Chains.mdb",
        "UPDATE Processes SET First_Layer=5, Number_Layers=2, Number_Act_Layers=3 "
        "  WHERE Process_Number=2;"
        "UPDATE Layers SET CoDep_Layer=6, Film_Number=3 WHERE Layer_Number=5;"
        "UPDATE Layers SET Next_Layer=7, Film_Number=1, Output_Number=2 WHERE Layer_Number=6;"
        "UPDATE Layers SET Film_Number=2 WHERE Layer_Number=7;"
        // a loop, and a link out of the table
        "UPDATE Processes SET First_Layer=8, Number_Act_Layers=40 WHERE Process_Number=3;"
        "UPDATE Layers SET Next_Layer=9 WHERE Layer_Number=8;"
        "UPDATE Layers SET Next_Layer=8 WHERE Layer_Number=9;"
        "UPDATE Processes SET First_Layer=10, Number_Act_Layers=3 WHERE Process_Number=4;"
        "UPDATE Layers SET Next_Layer=1500 WHERE Layer_Number=10;");
    r.Open();
    EXPECT_EQ(r.view.caption, "Edit - [Chains.mdb]");
    ASSERT_EQ(r.view.tree.size(), 99u);
    EXPECT_EQ(r.view.tree[1].key, "P2");
    EXPECT_EQ(r.view.tree[1].text, setup::FixedName("Process 2"));
    EXPECT_EQ(r.Layers(2), (Texts{"5:Layer 1.1", "6:->Layer 1.2", "7:Layer 2"}));
    const TreeNode* film = r.Node("F3,P2,L5");
    ASSERT_NE(film, nullptr);
    EXPECT_EQ(film->text, setup::FixedName("Film 3"));
    EXPECT_EQ(r.Layers(3), (Texts{"8:Layer 1", "9:Layer 2"}));
    EXPECT_EQ(r.Layers(4), (Texts{"10:Layer 1"}));
    // Operations on the damaged chains end too.
    r.window->InsertLayerClicked();
    r.Click("L9,P3");
    EXPECT_EQ(r.Layers(3).size(), 3u);
}

TEST(ProcessTree, LayerOperationsWaitForAClickAndFollowTheirRules) {
    ProcessWindowRig r;
    ProcessWindowLogic& w = r.Open();
    w.InsertLayerClicked();
    w.DeleteLayerClicked();  // one operation waits at a time
    EXPECT_EQ(r.view.pending, Pending::Insert);
    r.Click("P1");
    EXPECT_EQ(r.Layers(1), (Texts{"1:Layer 1"}));
    EXPECT_EQ(r.view.pending, Pending::None);

    for (int output = 2; output <= 4; ++output) {
        w.InsertCoDepClicked();
        r.Click("L1,P1");
        r.data->layers[output].Output_Number = std::int16_t(output);
    }
    w.InsertLayerClicked();
    r.Click("L1,P1");  // a new layer goes after the whole group
    EXPECT_EQ(r.Layers(1), (Texts{"1:Layer 1.1", "2:->Layer 1.2", "3:->Layer 1.3", "4:->Layer 1.4",
                                  "5:Layer 2"}));
    w.InsertCoDepClicked();
    r.Click("L3,P1");
    EXPECT_EQ(r.dialogs.Texts(), Texts{kClickTopLayer});
    EXPECT_EQ(r.view.pending, Pending::CoDep) << "still waiting for a top layer";
    EXPECT_EQ(r.view.notice, "Click the top layer to add a CoDep layer to.");
    r.Click("L1,P1");  // a fourth CoDep layer: refused without a word
    EXPECT_EQ(r.Layers(1).size(), 5u);
    EXPECT_EQ(r.dialogs.Texts().size(), 1u);

    w.InsertLayerClicked();
    r.Click("L5,P1");
    for (const char* key : {"L3,P1", "L5,P1", "L1,P1"}) {  // a member, a middle, the first
        w.DeleteLayerClicked();
        r.Click(key);
    }
    EXPECT_EQ(r.Layers(1), (Texts{"2:Layer 1.2", "4:->Layer 1.4", "6:Layer 2"}));
    EXPECT_EQ(r.data->processes[1].Number_Layers, 2);
    EXPECT_EQ(r.data->processes[1].Number_Act_Layers, 3);
    EXPECT_TRUE(setup::IsFreeLayer(r.data->layers[3]));

    for (setup::LayerRec& layer : r.data->layers) layer.Film_Number = 1;  // no free slot
    w.InsertLayerClicked();
    r.Click("P1");
    EXPECT_EQ(r.Layers(1).size(), 3u);
    EXPECT_EQ(r.dialogs.Texts().size(), 1u);
}

TEST(ProcessTree, ExpandedNodesAreKeptByPositionAndAnInsertOpensItsNode) {
    ProcessWindowRig r;
    setup::InsertLayer(*r.data, 2, 0);
    ProcessWindowLogic& w = r.Open();
    const std::size_t p2 = *PositionOf(r.view.tree, "P2"), layer = p2 + 1;
    r.view.expanded[p2] = r.view.expanded[layer] = true;
    r.Click("P3");  // a rename, cancelled
    const std::size_t p3 = *PositionOf(r.view.tree, "P3");
    EXPECT_TRUE(r.view.expanded[p2] && r.view.expanded[layer]);
    EXPECT_FALSE(r.view.expanded[p3]);
    w.InsertLayerClicked();
    r.Click("P3");
    EXPECT_TRUE(r.view.expanded[p2] && r.view.expanded[layer] && r.view.expanded[p3]);
    EXPECT_EQ(r.view.expanded.size(), 99u + 4u);
    const auto kept = KeepExpanded(std::vector<bool>(3000, true), 2500);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), true), long(kRememberedNodes));
}

TEST(ProcessTree, RenameTakesATypedNameAndAsksAgainAfterADuplicate) {
    ProcessWindowRig r;
    r.data->processes[5].Process_Name = setup::FixedName("Mirror");
    r.Open();
    r.asks.shown.typed = {"  mIRROR ", "  A name far longer than sixteen ü"};
    r.Click("P2");
    EXPECT_EQ(r.dialogs.Texts(), Texts{"Duplicate Name @ Process #5."});
    EXPECT_EQ(r.asks.shown.asked, (Texts(2, "Edit Process|Enter new name:|Process 2")));
    EXPECT_EQ(r.data->processes[2].Process_Name, "A name far longe");
    EXPECT_EQ(r.view.tree[1].text, "A name far longe");
    r.asks.shown.typed = {"a name FAR LONGE and more", "   "};
    r.Click("P2");
    r.Click("P2");
    EXPECT_EQ(r.data->processes[2].Process_Name, "A name far longe");
    EXPECT_EQ(r.dialogs.Texts().size(), 1u) << "the same name or none: no change, no question";
    // Characters the instrument cannot take are named once, with the name as stored.
    r.asks.shown.typed = {"Dünnschicht ÄÖ"};
    r.Click("P3");
    EXPECT_EQ(r.data->processes[3].Process_Name, setup::FixedName("D?nnschicht ??"));
    EXPECT_EQ(r.dialogs.LastText(),
              "The instrument takes plain ASCII characters only: the name is stored as "
              "\"D?nnschicht ??\".");
    EXPECT_EQ(r.dialogs.Texts().size(), 2u);
}

TEST(ProcessTree, OneCurrentFileFollowsSaveAsAndASaveFirstDownload) {
    ProcessWindowRig r;
    r.settings.DatabaseFile = r.SavedFile("Delvar.mdb");
    ProcessWindowLogic& w = r.Open();
    EXPECT_EQ(r.view.caption, "Edit - [Delvar.mdb]");

    // Save As: the new file is current, in the settings, the caption and the next window.
    r.dialogs.fileAnswers = {r.Path("New.mdb")};
    ASSERT_TRUE(w.FileSaveAs());
    EXPECT_EQ(r.db.CurrentDatabase(), r.Path("New.mdb"));
    EXPECT_EQ(r.settings.DatabaseFile, r.Path("New.mdb"));
    ProcessWindowLogic& again = r.Open();
    EXPECT_EQ(r.view.caption, "Edit - [New.mdb]");

    // A download saving the instrument's setup first: the setup waits in TempDB, which
    // never becomes current.
    r.line.link.MutableInfo().Online = true;
    r.settings.UpDnAll = 1;
    r.data->processes[2].Process_Name = setup::FixedName("To instrument");
    r.dialogs.answers = {MessageAnswer::Yes};
    r.dialogs.fileAnswers = {r.Path("Instrument.mdb")};
    again.Download();
    EXPECT_EQ(r.dialogs.Texts().size(), 1u) << r.dialogs.LastText();
    EXPECT_EQ(r.db.CurrentDatabase(), r.Path("New.mdb"));
    EXPECT_EQ(r.settings.DatabaseFile, r.Path("New.mdb"));
    EXPECT_EQ(r.view.caption, "Edit - [New.mdb]");
    r.data->processes[3].Process_Name = setup::FixedName("Saved later");
    again.FileSave();
    const auto saved = r.OpenedCopy(r.Path("New.mdb"));
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(util::Trim(saved->processes[2].Process_Name), "To instrument");
    EXPECT_EQ(util::Trim(saved->processes[3].Process_Name), "Saved later");
    r.Open();
    EXPECT_EQ(r.view.caption, "Edit - [New.mdb]");
    EXPECT_EQ(r.settings.DatabaseFile, r.Path("New.mdb"));

    // Every save dialog adds ".mdb" to a bare name before it asks about replacing a file.
    ASSERT_EQ(r.dialogs.saveRequests.size(), 2u);
    for (const core::FileRequest& request : r.dialogs.saveRequests)
        EXPECT_EQ(request.defaultSuffix, "mdb") << request.initial;
}

TEST(ProcessTree, TheAllCheckBoxRulesTheOthersAndEachKeepsItsSettingsKey) {
    ProcessWindowRig r;
    r.settings.UpDnAll = 1;
    ProcessWindowLogic& w = r.Open();
    EXPECT_TRUE(r.view.checks.all && r.view.checks.processes && r.view.checks.films &&
                r.view.checks.materials);
    EXPECT_FALSE(r.view.checks.othersEnabled);
    EXPECT_EQ(r.settings.UpDnProcesses + r.settings.UpDnSystem + r.settings.UpDnMaterials, 3);
    w.CheckClicked(TransferCheck::All, false);
    EXPECT_TRUE(r.view.checks.othersEnabled && r.view.checks.films) << "values stay";
    w.CheckClicked(TransferCheck::Films, false);
    w.CheckClicked(TransferCheck::Materials, false);
    EXPECT_EQ(r.settings.UpDnAll, 0);
    EXPECT_EQ(r.settings.UpDnSystem, 0) << "the films' key";
    EXPECT_EQ(r.settings.UpDnMaterials, 0);
    EXPECT_EQ(r.settings.UpDnProcesses, 1);
    EXPECT_FALSE(r.view.transfers) << "off line";
}

TEST(ProcessTree, NodesAndTheEditMenuOpenEditorsTheOffLineNoticeOnce) {
    ProcessWindowRig r;
    const int layer = setup::InsertLayer(*r.data, 7, 0);
    r.data->layers[layer].Film_Number = 4;
    ProcessWindowLogic& w = r.Open();
    r.Click("F4,P7,L1");
    r.Click("L1,P7");
    w.Edit(Editor::Sensors);
    w.Edit(Editor::Logic);
    w.Edit(Editor::System);  // none supplied: nothing opens
    EXPECT_EQ(r.opened, (Texts{"1 P7 L1 F4", "0 P7 L1 F4", "3 P7 L1 F4", "6 P7 L1 F4"}))
        << "film, layer, sensors, logic";
    EXPECT_EQ(r.dialogs.Texts(), Texts{kOfflineNotice});
    EXPECT_TRUE(r.line.link.OfflineNoticeShown);
    EXPECT_FALSE(w.HasEditor(Editor::System));
}

TEST(ProcessTree, ClosingAfterAnUploadAsksToSaveAndCancelRestoresTheTables) {
    ProcessWindowRig r;
    r.line.link.MutableInfo().Online = true;
    r.data->processes[1].Process_Name = setup::FixedName("Before");
    ProcessWindowLogic& w = r.Open(1);
    EXPECT_EQ(r.view.caption, "Edit - [Instrument Upload]");
    EXPECT_TRUE(r.view.transfers);
    EXPECT_EQ(r.Layers(1), Texts{"1:Layer 1"}) << "the instrument's process 1";
    r.data->processes[1].Process_Name = setup::FixedName("Edited");

    r.dialogs.answers = {MessageAnswer::Cancel, MessageAnswer::Yes, MessageAnswer::No};
    EXPECT_FALSE(w.Cancel()) << "Cancel keeps the window open and the data";
    EXPECT_EQ(util::Trim(r.data->processes[1].Process_Name), "Edited");
    EXPECT_FALSE(w.QueryClose()) << "Yes without a file name chosen";
    EXPECT_TRUE(w.Cancel()) << "No closes";
    EXPECT_EQ(r.dialogs.Texts(), Texts(3, kSaveQuestion));
    EXPECT_EQ(util::Trim(r.data->processes[1].Process_Name), "Before");

    // Yes with a file: saved (".mdb" added), named in the caption, and nothing more to ask.
    ProcessWindowLogic& again = r.Open(1);
    r.dialogs.answers = {MessageAnswer::Yes};
    r.dialogs.fileAnswers = {r.Path("Kept")};
    EXPECT_TRUE(again.QueryClose());
    EXPECT_EQ(r.view.caption, "Edit - [Kept.mdb]");
    EXPECT_EQ(r.settings.DatabaseFile, r.Path("Kept.mdb"));
    ASSERT_NE(r.OpenedCopy(r.Path("Kept.mdb")), nullptr);
    EXPECT_TRUE(again.QueryClose());
    EXPECT_EQ(r.dialogs.Texts().size(), 4u);
    EXPECT_EQ(r.asks.files, Texts(2, "save DB Files (*.mdb)|*.mdb " + r.Path("Delvar.mdb")));
}

TEST(ProcessTree, AnUploadThatFailedPartWayIsNamedIncompleteUntilAWholeOneSucceeds) {
    ProcessWindowRig r;
    r.line.link.MutableInfo().Online = true;
    r.answersLeft = 300;  // the line goes quiet among the processes
    ProcessWindowLogic& w = r.Open(1);
    EXPECT_EQ(r.view.caption, "Edit - [Instrument Upload]" + std::string(kIncompleteCaption));
    EXPECT_EQ(r.view.notice, kIncompleteNotice);
    r.dialogs.ClearRecord();
    r.dialogs.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(w.QueryClose());
    EXPECT_EQ(r.dialogs.LastText(), std::string(kIncompleteNotice) + "\n" + kSaveQuestion);

    r.answersLeft = std::numeric_limits<long>::max();
    r.line.link.SendCommand("XSTOP");  // the line is back
    r.settings.UpDnAll = 0;
    r.settings.UpDnSystem = 1;  // films only: still incomplete
    w.Upload();
    EXPECT_TRUE(w.InstrumentDataIncomplete());
    r.settings.UpDnAll = 1;
    w.Upload();
    EXPECT_EQ(r.view.caption, "Edit - [Instrument Upload]");
    EXPECT_EQ(r.view.notice, "");
}

}  // namespace
}  // namespace delvar::testing
