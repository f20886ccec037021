// The logic statement builder over a recording view and the simulator's instrument:
// the code tables and lists, building a condition term by term, naming, copy and
// paste, clear, the transfers with their messages, and Save.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "core/ErrHandlerRig.h"

#include "editors/LogicBuilder.h"
#include "editors/LogicRig.h"

namespace delvar::testing {
namespace {

using core::MessageAnswer;
using editors::LogicBuilder;
using editors::LogicPart;
using editors::LogicTables;

struct FakeLogicView final : editors::LogicBuilderView {
    void SetCategoryLists(const Texts& i, const Texts& t) override {
        ifCategories = i;
        thenCategories = t;
    }
    void SelectCategory(LogicPart, int) override {}
    void SetSelectList(LogicPart part, const Texts& texts) override {
        (part == LogicPart::If ? ifSelect : thenSelect) = texts;
    }
    void ShowTimerValue(bool shown) override { timerShown = shown; }
    void SetTimerValueText(const std::string& t) override { value = t; }
    void SetNameList(const Texts& n) override { names = n; }
    void SetNameEntry(int i, const std::string& n) override { names.at(std::size_t(i)) = n; }
    void SelectName(int i) override { selected = i; }
    void SetNumberLabel(const std::string& t) override { number = t; }
    void SetConditionText(const std::string& t) override { condition = t; }
    void SetActionText(const std::string& t) override { action = t; }
    void SetPasteEnabled(bool e) override { paste = e; }
    void SetTransfersEnabled(bool e) override { transfers = e; }
    void SetProgress(int p) override {
        progress.push_back(p);
        if (p == failAtProgress) {
            failAtProgress = -1;
            throw std::out_of_range("progress " + std::to_string(p));
        }
    }

    Texts ifCategories, thenCategories, ifSelect, thenSelect, names;
    std::string value, number, condition, action;
    bool timerShown = false, paste = false, transfers = false;
    int selected = -1;
    std::vector<int> progress;
    int failAtProgress = -1;  // the progress bar fails once at this value
};

struct Builder : LogicRig {
    FakeLogicView view;
    LogicBuilder logic{context, view};
    Builder() { logic.Open(); }
    int Sent(const std::string& prefix) const {
        return int(std::count_if(sent.begin(), sent.end(),
                                 [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
    }
    int Category(LogicPart part, const std::string& name) {
        const auto all = editors::Categories(part);
        for (std::size_t i = 0; i < all.size(); ++i)
            if (all[i].name == name) return int(i);
        ADD_FAILURE() << name;
        return 0;
    }
    // Adds the select list's item of that text from the category.
    void AddItem(const std::string& category, const std::string& text) {
        logic.CategoryChosen(LogicPart::If, Category(LogicPart::If, category));
        const auto at = std::find(view.ifSelect.begin(), view.ifSelect.end(), text);
        ASSERT_NE(at, view.ifSelect.end()) << text;
        logic.AddCondition(int(at - view.ifSelect.begin()));
    }
    void SetAction(const std::string& category, int index) {
        logic.CategoryChosen(LogicPart::Then, Category(LogicPart::Then, category));
        logic.ActionChosen(index);
    }
    // Statement: Input1 AND NOT Relay2 THEN Relay3.
    void BuildSimple() {
        AddItem("Inputs", "Input1");
        logic.AddOperator(0);
        logic.AddOperator(2);
        AddItem("Relays", "Relay2");
        SetAction("Relays", 2);
    }
};

TEST(LogicCodes, EveryCategoryListsItsCodesUpToTheFirstWithoutText) {
    using editors::SelectList;
    const Texts crystals = SelectList(LogicPart::If, 901);
    ASSERT_EQ(crystals.size(), 64u);
    EXPECT_EQ(crystals.front(), "Sens1_Xtal1");
    EXPECT_EQ(crystals[16], "Sens2_Xtal1");
    EXPECT_EQ(crystals.back(), "Sens4_Xtal16");
    const Texts films = SelectList(LogicPart::If, 1301);
    ASSERT_EQ(films.size(), 50u);
    EXPECT_EQ(films.front(), "Film1");
    EXPECT_EQ(films.back(), "Film50");
    const Texts sensors = SelectList(LogicPart::If, 501);
    ASSERT_EQ(sensors.size(), 20u);
    EXPECT_EQ(sensors[4], "Sens1_Shutter");
    EXPECT_EQ(sensors[12], "All_Fail");
    EXPECT_EQ(sensors[15], "Shutter_3/4");
    EXPECT_EQ(sensors.back(), "Sens4_Timeout");
    EXPECT_EQ(SelectList(LogicPart::If, 701).size(), 24u);
    EXPECT_EQ(SelectList(LogicPart::If, 801).back(), "MaxRate_Alm");
    EXPECT_EQ(SelectList(LogicPart::If, 1001).back(), "Src4_Pckt16");
    EXPECT_TRUE(SelectList(LogicPart::If, editors::kTimerValueBase).empty()) << "typed, not listed";

    const Texts processes = SelectList(LogicPart::Then, 601);
    ASSERT_EQ(processes.size(), 102u);
    EXPECT_EQ(processes[2], "Process1");
    EXPECT_EQ(processes.back(), "Process100");
    EXPECT_EQ(SelectList(LogicPart::Then, 101).back(), "Src4_Next_Pkt");
    EXPECT_EQ(SelectList(LogicPart::Then, 1).size(), 5u);

    EXPECT_EQ(editors::ThenText(603), "Process1");
    EXPECT_EQ(editors::ThenText(703), "");
    EXPECT_EQ(editors::ThenText(0), "");
    EXPECT_EQ(editors::IfText(1431), "30");
    EXPECT_EQ(editors::IfText(6), "(");
    for (int unknown : {0, 2, 10, 117, 521, 965, 1351, -5}) EXPECT_EQ(editors::IfText(unknown), "");
}

TEST(LogicBuilder, BuildsAConditionTermByTermUpToSixteen) {
    Builder b;
    EXPECT_EQ(b.view.ifCategories.size(), 14u);
    EXPECT_EQ(b.view.ifCategories.at(4), "Timer Value");
    EXPECT_EQ(b.view.thenCategories.size(), 8u);
    EXPECT_EQ(b.view.ifSelect.front(), "Input1") << "the first category is shown";
    EXPECT_EQ(b.view.number, "1.");

    b.BuildSimple();
    EXPECT_EQ(b.view.condition, "Input1 AND NOT Relay2");
    EXPECT_EQ(b.view.action, "Relay3");
    EXPECT_EQ(b.logic.Statement().THEN, 203);
    b.logic.Back();
    EXPECT_EQ(b.view.condition, "Input1 AND NOT");
    EXPECT_EQ(b.logic.Statement().IF[3], 0);

    b.logic.CategoryChosen(LogicPart::If, b.Category(LogicPart::If, "Timer Value"));
    EXPECT_TRUE(b.view.timerShown);
    for (int i = 0; i < 30; ++i) b.logic.TimerValueStep(+1);
    b.logic.AddCondition(-1);
    EXPECT_EQ(b.logic.Statement().IF[3], 1431);
    EXPECT_EQ(b.view.condition, "Input1 AND NOT 30");
    b.logic.CategoryChosen(LogicPart::If, 0);
    EXPECT_FALSE(b.view.timerShown);
    b.logic.AddCondition(-1);
    EXPECT_EQ(b.dialogs.LastText(), "Pick an item in the IF Select list.");
    b.logic.ActionChosen(-1);
    EXPECT_EQ(b.dialogs.LastText(), "Pick an item in the THEN Select list.");

    while (editors::TermCount(b.logic.Statement()) < 16) b.logic.AddOperator(6);
    b.dialogs.ClearRecord();
    b.logic.AddCondition(0);
    b.logic.AddOperator(0);
    ASSERT_EQ(b.dialogs.messages.size(), 2u);
    EXPECT_EQ(b.dialogs.messages[0].text, "Too many IF conditions.");
    EXPECT_EQ(b.dialogs.messages[0].title, "Select Error");
    EXPECT_EQ(editors::TermCount(b.logic.Statement()), 16);
    EXPECT_EQ(b.logic.Statement().IF[15], 9);
    EXPECT_EQ(b.setup->logic[1].THEN, 0) << "the setup changes only on Save";
}

TEST(LogicBuilder, ATypedTimerValueIsTakenWholeOrRefused) {
    Builder b;
    EXPECT_TRUE(b.logic.TimerValueTyped("30"));
    EXPECT_EQ(b.logic.TimerValue(), 30);
    EXPECT_TRUE(b.logic.TimerValueTyped(" 12.5 "));
    EXPECT_EQ(b.view.value, "12") << "halves to the even neighbour";
    for (const char* bad : {"1e309", "nan", "1,5", "12abc", "", "-1", "100000"}) {
        b.dialogs.ClearRecord();
        EXPECT_FALSE(b.logic.TimerValueTyped(bad)) << bad;
        EXPECT_EQ(b.dialogs.LastText(), "Valid Timer Values are 0 to 99999") << bad;
        EXPECT_EQ(b.view.value, "12") << bad;
    }
    for (int i = 0; i < 20; ++i) b.logic.TimerValueStep(-1);
    EXPECT_EQ(b.logic.TimerValue(), 0) << "the spinner stops at 0";
}

TEST(LogicBuilder, TypedNamesCopyPasteAndClear) {
    Builder b;
    EXPECT_EQ(b.view.names.size(), 32u);
    b.logic.NameTextLeft("  Pump Down ");
    EXPECT_EQ(b.logic.Statement().Name, setup::FixedName("Pump_Down"));
    EXPECT_EQ(b.view.names[0], "Pump_Down");
    EXPECT_TRUE(b.logic.Changed());
    b.logic.NameTextLeft("");
    EXPECT_EQ(b.view.names[0], "Pump_Down") << "an emptied box keeps the name";
    b.logic.StatementChosen(1);
    b.logic.NameTextLeft("Vent, then open the door");
    EXPECT_EQ(b.logic.Statement().Name, "Vent_then_open_t") << "commas out, cut at 16";

    b.logic.StatementChosen(0);
    b.BuildSimple();
    EXPECT_FALSE(b.view.paste);
    b.logic.Copy();
    EXPECT_TRUE(b.view.paste);
    b.logic.StatementChosen(4);
    EXPECT_EQ(b.view.number, "5.");
    EXPECT_EQ(b.view.condition, "");
    b.logic.Paste();
    EXPECT_EQ(b.logic.Statement(), b.logic.Working().logic[1]);
    EXPECT_EQ(b.view.names[4], "Pump_Down");
    EXPECT_EQ(b.view.condition, "Input1 AND NOT Relay2");

    b.logic.Clear();
    EXPECT_EQ(b.logic.Statement().Name, setup::FixedName("<Empty>"));
    EXPECT_EQ(b.view.condition, "");
    EXPECT_EQ(b.view.action, "");
    b.dialogs.answers = {MessageAnswer::No};
    b.logic.ClearAll();
    EXPECT_EQ(b.dialogs.messages.back().title, "Clear All Logic Statements");
    EXPECT_EQ(b.dialogs.LastText(), "Clear all logic statements?");
    EXPECT_EQ(b.logic.Working().logic[1].THEN, 203) << "No keeps the statements";
    b.dialogs.answers = {MessageAnswer::Yes};
    b.logic.ClearAll();
    for (const setup::LogicRec& r : b.logic.Working().logic) {
        EXPECT_EQ(r.Name, setup::FixedName("<Empty>"));
        EXPECT_EQ(r.THEN, 0);
    }
    EXPECT_EQ(b.view.names[1], "<Empty>");
}

TEST(LogicBuilder, DownloadAllWritesVerifiesReadsBackAndUploadReadsIt) {
    Builder b;
    b.logic.NameTextLeft("Pump Down");
    b.BuildSimple();
    b.logic.StatementChosen(31);
    b.AddItem("States", "Deposit");
    b.SetAction("Process", 2);  // Process1

    EXPECT_TRUE(b.logic.DnLoad(true)) << b.dialogs.LastText();
    EXPECT_TRUE(b.dialogs.messages.empty()) << b.dialogs.LastText();
    EXPECT_EQ(b.Held(1), "Pump_Down|101:3:5:202|203");
    EXPECT_EQ(b.Held(32), "<Empty>|710|603");
    EXPECT_EQ(b.count["I1? 4"], 1) << "a defined statement is verified";
    EXPECT_EQ(b.count["I2? 4"], 0) << "an empty one has no condition to verify";
    EXPECT_EQ(b.count["XSTART"], 1);
    EXPECT_EQ(b.count["XSTOP"], 1);
    EXPECT_EQ(b.view.progress.back(), 0);
    EXPECT_EQ(b.view.progress.at(b.view.progress.size() - 2), 100);

    b.instrument.Store().Set(sim::RecordKind::Logic, 3, 2, "1101:4:1102");
    b.instrument.Store().Set(sim::RecordKind::Logic, 3, 3, "5");
    b.logic.StatementChosen(2);
    EXPECT_TRUE(b.logic.UpLoad(false));
    EXPECT_EQ(b.view.condition, "Process1 OR Process2");
    EXPECT_EQ(b.view.action, "Interlock");
    EXPECT_EQ(b.Sent("GA16?"), 2) << "inputs and relays 1 to 16 read after each transfer";
    EXPECT_EQ(b.Sent("GB16?"), 2);
}

TEST(LogicBuilder, RefusedStatementsAndARefutedConditionEachGiveTheirMessage) {
    Builder b;
    b.setup->logic[2].IF = {2};    // no such term (an old database)
    b.setup->logic[3].THEN = 900;  // no such action
    b.logic.Open();
    b.logic.NameTextLeft("Fill");
    b.AddItem("Inputs", "Input1");
    b.logic.StatementChosen(3);
    b.AddItem("Inputs", "Input1");
    b.logic.AddOperator(0);  // "Input1 AND": the instrument finds it incomplete
    b.script = [](const std::string& command) -> std::optional<Answer> {
        if (command.rfind("I1 1,", 0) == 0) return Answer{'D', "0"};
        return std::nullopt;
    };

    EXPECT_FALSE(b.logic.DnLoad(false));
    EXPECT_EQ(b.dialogs.Texts(), Texts{"Statement 4: Error in IF condition."});
    EXPECT_EQ(b.logic.Statement().IF[1], 3) << "a single statement that failed is not read back";

    b.dialogs.ClearRecord();
    EXPECT_FALSE(b.logic.DnLoad(true));
    EXPECT_EQ(b.dialogs.Texts(),
              (Texts{"Statement 1: Error in name.", "Error in logic: Statement 1",
                     "Statement 2: Error in IF condition.", "Error in logic: Statement 2",
                     "Statement 3: Error in THEN action.", "Error in logic: Statement 3",
                     "Statement 4: Error in IF condition.", "Error in logic: Statement 4"}));
    EXPECT_EQ(b.Held(2), "|0|0") << "the instrument kept its own";
    EXPECT_EQ(b.logic.Working().logic[3].THEN, 0) << "all statements are read back";
    EXPECT_EQ(b.Sent("XSTART"), 2);
    EXPECT_EQ(b.Sent("XSTOP"), 2);
}

TEST(LogicBuilder, FailedTransfersRestoreWhatTheyHeld) {
    Builder b;
    b.BuildSimple();
    b.instrument.Store().Set(sim::RecordKind::Logic, 2, 3, "4");
    const LogicTables before = b.logic.Working();

    b.script = [](const std::string& command) -> std::optional<Answer> {
        if (command == "I5? 1 2 3 4 5 6") return Answer{'C', ""};
        return std::nullopt;
    };
    EXPECT_FALSE(b.logic.UpLoad(true));
    EXPECT_EQ(b.dialogs.Texts(),
              Texts{"Logic statement 5 upload error.  Original form data restored."});
    EXPECT_EQ(b.logic.Working().logic[1], before.logic[1]);
    EXPECT_EQ(b.logic.Working().logic[2].THEN, 0);
    EXPECT_EQ(b.Sent("GA1?"), 0) << "no I/O read after a failed statement";
    EXPECT_EQ(b.Sent("XSTOP"), 1);

    b.dialogs.ClearRecord();
    b.sent.clear();
    b.script = [](const std::string& command) -> std::optional<Answer> {
        if (command.rfind("GB3?", 0) == 0) return Answer{'C', ""};
        return std::nullopt;
    };
    EXPECT_FALSE(b.logic.UpLoad(true));
    EXPECT_EQ(b.dialogs.Texts(),
              Texts{"Relay or Input 3 upload error.  Original form data restored."});
    EXPECT_EQ(b.logic.Working().logic[1], before.logic[1]);

    // The second read of statement 3 (its read-back) fails: what the instrument held is
    // written back.
    b.dialogs.ClearRecord();
    b.sent.clear();
    const std::string held1 = b.Held(1), held2 = b.Held(2);
    int reads = 0;
    b.script = [&reads](const std::string& command) -> std::optional<Answer> {
        if (command == "I3? 1 2 3 4 5 6" && ++reads == 2) return Answer{'C', ""};
        return std::nullopt;
    };
    EXPECT_FALSE(b.logic.DnLoad(true));
    EXPECT_EQ(b.dialogs.Texts(),
              Texts{"Logic statement 3 download error.\nRestoring original Delvar data."});
    EXPECT_EQ(b.Held(1), held1);
    EXPECT_EQ(b.Held(2), held2);
    EXPECT_EQ(b.Sent("GA1?"), 0);
}

TEST(LogicBuilder, SaveNeedsTheInstrumentAndWritesChangesFirst) {
    Builder b;
    b.BuildSimple();
    b.link.MutableInfo().Online = false;
    EXPECT_FALSE(b.logic.Save());
    EXPECT_EQ(b.dialogs.messages.back().title, "Save Sensor");
    EXPECT_EQ(b.dialogs.LastText(), "Cannot save changes because Delvar is not online.");
    EXPECT_EQ(b.setup->logic[1].THEN, 0);

    b.link.MutableInfo().Online = true;
    b.dialogs.answers = {MessageAnswer::Cancel};
    EXPECT_TRUE(b.logic.Save()) << "Cancel abandons the changes";
    EXPECT_EQ(b.setup->logic[1].THEN, 0);
    EXPECT_EQ(b.Sent("I1 1,"), 0);

    b.logic.AddOperator(0);  // "... AND": refused by the instrument's check
    b.dialogs.answers = {MessageAnswer::Ok};
    EXPECT_FALSE(b.logic.Save()) << "a statement the instrument refused stays to be put right";
    EXPECT_EQ(b.setup->logic[1].THEN, 0);

    b.logic.Back();
    b.dialogs.answers = {MessageAnswer::Ok};
    EXPECT_TRUE(b.logic.Save()) << b.dialogs.LastText();
    EXPECT_EQ(b.setup->logic[1].THEN, 203);
    EXPECT_EQ(b.Held(1), "<Empty>|101:3:5:202|203");
}

TEST(LogicBuilder, ARunTimeErrorEndsItsHandlerUnderItsNameAndTheTransferWithIt) {
    HandlerRig errors;
    Builder b;
    b.link.Errors = errors.handler.get();
    b.BuildSimple();
    const LogicTables before = b.logic.Working();

    b.view.failAtProgress = 50;  // statement 16 of 32 read
    EXPECT_FALSE(b.logic.UpLoad(true));
    EXPECT_EQ(errors.handler->ErrorProc(), "frmLogic_cmdUpLoadAll_Click");
    EXPECT_EQ(errors.handler->ErrorNumber(), 9);
    ASSERT_EQ(errors.dialogs.messages.size(), 1u);
    EXPECT_EQ(errors.dialogs.LastText(),
              "The following error has occurred in procedure: \nfrmLogic_cmdUpLoadAll_Click on "
              "line 0\nError (9) progress 50");
    EXPECT_EQ(errors.handler->Depth(), 0);
    EXPECT_EQ(b.Sent("XSTOP"), 1) << "the instrument is not left locked";
    EXPECT_EQ(b.Sent("I17?"), 0);
    EXPECT_EQ(b.logic.Working().logic[1], before.logic[1]) << "the window's statements back";
    EXPECT_EQ(b.view.progress.back(), 0);

    b.logic.AddOperator(0);  // the window goes on
    EXPECT_EQ(b.view.condition, "Input1 AND NOT Relay2 AND");
    EXPECT_EQ(errors.dialogs.messages.size(), 1u);
}

}  // namespace
}  // namespace delvar::testing
