// What the widget tests do to a window: find a control by name, and type into a cell
// of its grid as an operator does (open the cell, type, press Enter).
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QWidget>
#include <QtTest/QTest>

#include "windows/editors/CellGrid.h"

namespace delvar::testing {

template <typename W = QWidget>
W* Child(QWidget& window, const char* name) {
    W* w = window.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// The typed text replaces what the cell held.
inline void TypeInCell(windows::CellGrid& grid, int row, int col, const QString& text) {
    grid.setFocus();
    grid.setCurrentCell(row, col);
    grid.editItem(grid.item(row, col));
    QCoreApplication::processEvents();
    QLineEdit* editor = nullptr;  // closed editors linger hidden until deleted
    for (QLineEdit* e : grid.viewport()->findChildren<QLineEdit*>())
        if (e->isVisible()) editor = e;
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

}  // namespace delvar::testing
