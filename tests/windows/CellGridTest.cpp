#include "windows/editors/CellGrid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest/QTest>

namespace delvar::windows {
namespace {

using Log = std::vector<std::string>;

// Records every event as text; fills the choice list of column 1 of row 0 when its
// edit starts, as the editors do.
struct EventLog final : editors::GridEvents {
    CellGrid* grid = nullptr;
    std::vector<std::string> events;
    void Note(const char* what, int row, int col) {
        events.push_back(std::string(what) + " " + std::to_string(row) + "," + std::to_string(col));
    }
    void BeforeEdit(int row, int col) override {
        Note("before", row, col);
        grid->ClearList(row, col);
        if (row == 0) {
            grid->AddListItem(row, col, "Off");
            grid->AddListItem(row, col, "On");
        }
    }
    void TextChange(int row, int col) override { Note("change", row, col); }
    void AfterEdit(int row, int col) override { Note("after", row, col); }
    void EnterKey(int row, int col) override { Note("enter", row, col); }
    void FocusLost(int row, int col) override { Note("lost", row, col); }
    void PointerMove(int row) override { Note("pointer", row, -1); }
};

struct GridRig {
    EventLog log;  // outlives the window: closing it commits an open cell
    QWidget window;
    CellGrid* grid = new CellGrid("grdTest");
    QLineEdit* elsewhere = new QLineEdit;
    GridRig() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(grid);
        layout->addWidget(elsewhere);
        log.grid = grid;
        grid->SetSize(3, 2);
        grid->SetHeading(0, "Setup");
        grid->SetHeading(1, "Value");
        for (int r = 0; r < 3; ++r) {
            grid->SetCaption(r, "Row " + std::to_string(r));
            grid->SetCellText(r, 1, "old " + std::to_string(r));
        }
        grid->SetEvents(&log);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        grid->setFocus();
    }
    // Starts editing a cell as a double click does.
    void Edit(int row, int col) {
        grid->setCurrentCell(row, col);
        grid->editItem(grid->item(row, col));
        QCoreApplication::processEvents();
    }
    // The open cell's editor (closed ones linger hidden until deleted).
    template <typename W>
    W* Editor() {
        for (W* w : grid->viewport()->findChildren<W*>())
            if (w->isVisible()) return w;
        return nullptr;
    }
    // Types at the end of the open cell's text.
    void Type(const char* keys) {
        auto* editor = Editor<QLineEdit>();
        ASSERT_NE(editor, nullptr);
        editor->end(false);
        QTest::keyClicks(editor, keys);
    }
};

TEST(CellGrid, TypedEditRaisesItsEventsInOrderAndEachEndingCommitsOnce) {
    GridRig r;
    r.Edit(1, 1);
    r.Type("12");
    QTest::keyClick(r.Editor<QLineEdit>(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(r.log.events, (Log{"before 1,1", "change 1,1", "change 1,1", "enter 1,1"}));
    EXPECT_EQ(r.grid->CellText(1, 1), "old 112");

    // Moving to another cell ends the edit as an ordinary after-edit.
    r.log.events.clear();
    r.Edit(1, 1);
    r.Type("3");
    r.grid->setCurrentCell(2, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(r.log.events, (Log{"before 1,1", "change 1,1", "after 1,1"}));
    EXPECT_EQ(r.grid->CellText(1, 1), "old 1123");

    // Leaving the grid with the cell open commits it as a focus loss.
    r.log.events.clear();
    r.Edit(2, 1);
    r.Type("x");
    r.elsewhere->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(r.log.events, (Log{"before 2,1", "change 2,1", "lost 2,1"}));
    EXPECT_EQ(r.grid->CellText(2, 1), "old 2x");

    // Escape abandons the edit: old text, no commit.
    r.log.events.clear();
    r.grid->setFocus();
    r.Edit(1, 1);
    r.Type("9");
    QTest::keyClick(r.Editor<QLineEdit>(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(r.log.events, (Log{"before 1,1", "change 1,1"}));
    EXPECT_EQ(r.grid->CellText(1, 1), "old 1123");
}

TEST(CellGrid, ListCellOffersTheItemsFilledBeforeEditAndReportsTheChoice) {
    GridRig r;
    r.Edit(0, 1);
    auto* combo = r.Editor<QComboBox>();
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), "On");
    combo->setCurrentIndex(1);
    emit combo->activated(1);  // the operator picks "On"
    QCoreApplication::processEvents();
    EXPECT_EQ(r.log.events, (Log{"before 0,1", "after 0,1"}));
    EXPECT_EQ(r.grid->ChosenIndex(), 1);
    EXPECT_EQ(r.grid->CellText(0, 1), "On");

    // An edit that ends without a pick reports no choice and leaves the text.
    r.log.events.clear();
    r.Edit(0, 1);
    ASSERT_NE(r.Editor<QComboBox>(), nullptr);
    r.grid->setCurrentCell(1, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(r.log.events, (Log{"before 0,1", "after 0,1"}));
    EXPECT_LT(r.grid->ChosenIndex(), 0);
    EXPECT_EQ(r.grid->CellText(0, 1), "On");
}

TEST(CellGrid, LockedCellsAndCaptionsAreNotEditedAndHiddenRowsKeepTheirTexts) {
    GridRig r;
    r.grid->SetLocked(1, 1, true);
    r.Edit(1, 1);
    r.Edit(2, 0);
    EXPECT_EQ(r.Editor<QLineEdit>(), nullptr);
    EXPECT_TRUE(r.log.events.empty());
    r.grid->SetLocked(1, 1, false);
    r.Edit(1, 1);
    EXPECT_NE(r.Editor<QLineEdit>(), nullptr);

    r.grid->SetRowHeight(2, 0);
    r.grid->SetCellText(2, 1, "kept");
    EXPECT_TRUE(r.grid->isRowHidden(2));
    EXPECT_EQ(r.grid->CellText(2, 1), "kept");
    EXPECT_EQ(r.grid->CellText(2, 0), "Row 2");
    r.grid->SetRowHeight(2, 1);
    EXPECT_FALSE(r.grid->isRowHidden(2));
    // Cells outside the grid are ignored, never an error.
    r.grid->SetCellText(7, 1, "x");
    EXPECT_EQ(r.grid->CellText(7, 1), "");
}

TEST(CellGrid, PointerMoveReportsTheRowUnderThePointerOncePerRow) {
    GridRig r;
    const QRect row2 = r.grid->visualItemRect(r.grid->item(2, 1));
    QTest::mouseMove(r.grid->viewport(), row2.center());
    QTest::mouseMove(r.grid->viewport(), row2.center() + QPoint(3, 0));
    EXPECT_EQ(r.log.events, (Log{"pointer 2,-1"}));
}

}  // namespace
}  // namespace delvar::windows
