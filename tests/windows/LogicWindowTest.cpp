// The logic statement builder on its real controls: names and access keys, the
// category lists, the typed timer value, naming, copy and paste, and the transfer
// rule (controls disabled, a close waiting) during a download of all 32 statements.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest/QTest>
#include <map>

#include "editors/LogicRig.h"
#include "support/WindowTesting.h"
#include "windows/editors/frmLogic.h"

namespace delvar::windows {
namespace {

using namespace delvar::testing;

void Click(QWidget& window, const char* name) {
    if (auto* button = Child<QPushButton>(window, name)) QTest::mouseClick(button, Qt::LeftButton);
}

void ChooseRow(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    list->setCurrentItem(found.front());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found.front()).center());
}

// Presses a key where the keyboard focus is, as the operator does.
void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key(key), modifiers);
}

// The name of the control with the keyboard focus (a named control's unnamed part
// counts as the control).
std::string Focused() {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (!w->objectName().isEmpty()) return w->objectName().toStdString();
    return "<none>";
}

void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

TEST(LogicWindow, BuildsAStatementFromTheListsAndTheTypedValue) {
    LogicRig r;
    frmLogic window(r.context);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Edit Logic Statements");
    EXPECT_TRUE(window.isModal());

    // No two controls share an access key.
    std::map<QChar, QString> keys;
    auto key = [&](const QString& text) {
        const int at = text.indexOf('&');
        if (at < 0 || at + 1 >= text.size()) return;
        const QChar k = text.at(at + 1).toLower();
        EXPECT_EQ(keys.count(k), 0u) << text.toStdString() << " and " << keys[k].toStdString();
        keys[k] = text;
    };
    for (auto* b : window.findChildren<QPushButton*>()) key(b->text());
    for (auto* l : window.findChildren<QLabel*>()) key(l->text());
    key("Val&ue:");  // the caption lblIfSelect takes for Timer Value

    auto* ifCategory = Child<QListWidget>(window, "lstIfCategory");
    auto* ifSelect = Child<QListWidget>(window, "lstIfSelect");
    auto* txtValue = Child<QLineEdit>(window, "txtValue");
    auto* lblIf = Child<QLabel>(window, "lblIf");
    ASSERT_EQ(ifCategory->count(), 14);
    ChooseRow(ifCategory, "Crystal Index");
    EXPECT_EQ(ifSelect->count(), 64);
    EXPECT_EQ(ifSelect->item(63)->text(), "Sens4_Xtal16");
    ChooseRow(ifCategory, "Films");
    EXPECT_EQ(ifSelect->count(), 50);
    ChooseRow(ifSelect, "Film7");
    Click(window, "cmdAdd");
    Click(window, "cmdOp_5");  // ">"

    ChooseRow(ifCategory, "Timer Value");
    EXPECT_FALSE(ifSelect->isVisible());
    EXPECT_TRUE(txtValue->isVisible());
    Type(txtValue, "12abc");
    EXPECT_EQ(r.dialogs.LastText(), "Valid Timer Values are 0 to 99999");
    EXPECT_EQ(txtValue->text(), "0");
    txtValue->setText("30");  // typed, the box not yet left: Add takes it
    Click(window, "cmdAdd");
    EXPECT_EQ(lblIf->text(), "Film7 > 30");
    EXPECT_EQ(window.Logic().Statement().IF[2], 1431);
    QTest::mouseClick(Child(window, "spnValue")->findChild<QWidget*>("up"), Qt::LeftButton);
    EXPECT_EQ(txtValue->text(), "31");

    ChooseRow(Child<QListWidget>(window, "lstThenCategory"), "Process");
    ChooseRow(Child<QListWidget>(window, "lstThenSelect"), "Process1");
    EXPECT_EQ(Child<QLabel>(window, "lblThen")->text(), "Process1");
    EXPECT_EQ(window.Logic().Statement().THEN, 603);

    for (int i = 0; i < 14; ++i) Click(window, "cmdOp_0");
    EXPECT_EQ(editors::TermCount(window.Logic().Statement()), 16);
    Click(window, "cmdOp_1");
    EXPECT_EQ(r.dialogs.LastText(), "Too many IF conditions.");
    Click(window, "cmdBack");
    EXPECT_EQ(editors::TermCount(window.Logic().Statement()), 15);

    auto* cboNames = Child<QComboBox>(window, "cboNames");
    Type(cboNames->lineEdit(), "Pump Down");
    EXPECT_EQ(cboNames->itemText(0), "Pump_Down");
    EXPECT_FALSE(Child(window, "cmdPaste")->isEnabled());
    Click(window, "cmdCopy");
    cboNames->setCurrentIndex(5);
    EXPECT_EQ(Child<QLabel>(window, "lblNumber")->text(), "6.");
    EXPECT_EQ(lblIf->text(), "");
    Click(window, "cmdPaste");
    EXPECT_EQ(cboNames->itemText(5), "Pump_Down");
    EXPECT_EQ(lblIf->text().left(10), "Film7 > 30");

    r.dialogs.answers = {core::MessageAnswer::No};
    Click(window, "cmdClearAll");
    EXPECT_EQ(r.dialogs.LastText(), "Clear all logic statements?");
    EXPECT_EQ(lblIf->text().left(10), "Film7 > 30") << "No keeps the statements";

    Click(window, "cmdCancel");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(r.setup->logic[1].THEN, 0) << "Cancel keeps the setup as it was";
}

TEST(LogicWindow, WorksWithTheKeyboardAlone) {
    LogicRig r;
    frmLogic window(r.context);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto& statement = [&] { return window.Logic().Statement(); };
    auto* lblIf = Child<QLabel>(window, "lblIf");

    // Tab goes round every control in reading order (Paste waits for a copy).
    Press(Qt::Key_M, Qt::AltModifier);
    std::vector<std::string> round{Focused()};
    for (int i = 0; i < 30 && (round.size() == 1 || round.back() != round.front()); ++i) {
        Press(Qt::Key_Tab);
        round.push_back(Focused());
    }
    EXPECT_EQ(round, (Texts{"cboNames",      "cmdCopy",     "cmdClear",     "cmdClearAll",
                            "lstIfCategory", "lstIfSelect", "cmdAdd",       "cmdOp_0",
                            "cmdOp_1",       "cmdOp_2",     "cmdOp_3",      "cmdOp_4",
                            "cmdOp_5",       "cmdOp_6",     "cmdBack",      "lstThenCategory",
                            "lstThenSelect", "cmdUpLoad",   "cmdUpLoadAll", "cmdDnLoad",
                            "cmdDnLoadAll",  "cmdSave",     "cmdCancel",    "cboNames"}));

    // IF: Relays with the arrow, Tab into the list, Space adds the item with the focus,
    // an arrow to Relay2 and Return adds that. Buttons are pressed with Space (an access
    // key presses its button only after a pause).
    Press(Qt::Key_T, Qt::AltModifier);
    Press(Qt::Key_Down);
    Press(Qt::Key_Tab);
    ASSERT_EQ(Focused(), "lstIfSelect");
    Press(Qt::Key_Space);
    EXPECT_EQ(lblIf->text(), "Relay1");
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    EXPECT_EQ(lblIf->text(), "Relay1 Relay2");
    for (int i = 0; i < 9; ++i) Press(Qt::Key_Tab);
    ASSERT_EQ(Focused(), "cmdBack");
    Press(Qt::Key_Space);
    Press(Qt::Key_Space);
    for (int i = 0; i < 4; ++i) Press(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(Focused(), "cmdOp_3");
    Press(Qt::Key_Space);
    EXPECT_EQ(lblIf->text(), "(");
    // Back into the list, an arrow up to Relay1: Add takes the item the arrow chose.
    Press(Qt::Key_I, Qt::AltModifier);
    Press(Qt::Key_Up);
    Press(Qt::Key_Tab);
    ASSERT_EQ(Focused(), "cmdAdd");
    Press(Qt::Key_Space);
    EXPECT_EQ(lblIf->text(), "( Relay1");

    // A timer value typed and stepped with the Up key.
    Press(Qt::Key_T, Qt::AltModifier);
    for (int i = 0; i < 3; ++i) Press(Qt::Key_Down);
    Press(Qt::Key_Tab);
    ASSERT_EQ(Focused(), "txtValue");
    Press(Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "30");
    Press(Qt::Key_Up);
    Press(Qt::Key_Up);
    Press(Qt::Key_Down);
    Press(Qt::Key_Tab);
    ASSERT_EQ(Focused(), "cmdAdd");
    Press(Qt::Key_Space);
    EXPECT_EQ(lblIf->text(), "( Relay1 31");
    EXPECT_EQ(statement().IF[2], 1432);

    // THEN: reaching the list chooses nothing; each arrow chooses its item.
    Press(Qt::Key_Y, Qt::AltModifier);
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);  // Relays
    Press(Qt::Key_O, Qt::AltModifier);
    ASSERT_EQ(Focused(), "lstThenSelect");
    EXPECT_EQ(statement().THEN, 0);
    Press(Qt::Key_Down);
    EXPECT_EQ(statement().THEN, 202);
    Press(Qt::Key_Down);
    EXPECT_EQ(statement().THEN, 203);
    EXPECT_EQ(Child<QLabel>(window, "lblThen")->text(), "Relay3");
    EXPECT_TRUE(r.dialogs.messages.empty()) << r.dialogs.LastText();

    // Copy, the next statement with the arrow, its action with Return on the item still
    // selected, then Paste over it.
    Press(Qt::Key_M, Qt::AltModifier);
    Press(Qt::Key_Tab);
    ASSERT_EQ(Focused(), "cmdCopy");
    Press(Qt::Key_Space);
    Press(Qt::Key_M, Qt::AltModifier);
    Press(Qt::Key_Down);
    EXPECT_EQ(window.Logic().Current(), 2);
    Press(Qt::Key_O, Qt::AltModifier);
    Press(Qt::Key_Return);
    EXPECT_EQ(statement().THEN, 203);
    EXPECT_EQ(editors::TermCount(statement()), 0);
    Press(Qt::Key_M, Qt::AltModifier);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    ASSERT_EQ(Focused(), "cmdPaste");
    Press(Qt::Key_Space);
    EXPECT_EQ(lblIf->text(), "( Relay1 31");

    Press(Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST(LogicWindow, ClosesWithTheFocusInTheNameBox) {
    LogicRig r;
    {
        frmLogic window(r.context);
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        auto* names = Child<QComboBox>(window, "cboNames");
        names->lineEdit()->setFocus();
        names->lineEdit()->setText("Half typed");
        QCoreApplication::processEvents();
    }  // the focus leaves the box as the window goes
    EXPECT_EQ(r.setup->logic[1].Name, setup::FixedName("<Empty>")) << "nothing reaches the setup";
}

TEST(LogicWindow, ADownloadOfAllRefusesCancelAndTheCloseWaitsForItsEnd) {
    LogicRig r;
    r.setup->logic[1].IF = {101};
    r.setup->logic[1].THEN = 201;
    frmLogic window(r.context);
    window.show();
    int rejected = 0;
    QObject::connect(&window, &QDialog::rejected, [&] { ++rejected; });
    auto* cancel = Child<QPushButton>(window, "cmdCancel");
    auto* progress = Child<QProgressBar>(window, "prgStatus");

    bool cancelWasEnabled = true, progressEnabled = false, stillOpen = false;
    r.script = [&](const std::string& command) -> std::optional<Answer> {
        if (command.rfind("I16 1,", 0) != 0) return std::nullopt;
        // Half way: the operator clicks Cancel, then presses Escape.
        cancelWasEnabled = cancel->isEnabled();
        progressEnabled = progress->isEnabled();
        QTest::mouseClick(cancel, Qt::LeftButton);
        QTest::keyClick(&window, Qt::Key_Escape);
        stillOpen = window.isVisible() && rejected == 0;
        return std::nullopt;
    };
    Click(window, "cmdDnLoadAll");
    EXPECT_FALSE(cancelWasEnabled);
    EXPECT_TRUE(progressEnabled) << "the progress bar goes on showing";
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(r.count["I32 1,<Empty>          2,0 3,0 6,0"], 1) << "the download ran to its end";
    EXPECT_EQ(r.Held(1), "<Empty>|101|201");
    EXPECT_EQ(r.count["XSTOP"], 1);

    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isVisible()) << "the close asked for meanwhile";
    EXPECT_EQ(rejected, 1);
    EXPECT_EQ(r.setup->logic[1].THEN, 201);
    EXPECT_TRUE(cancel->isEnabled());
}

}  // namespace
}  // namespace delvar::windows
