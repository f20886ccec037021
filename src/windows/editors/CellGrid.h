// The editable grid of the grid-based setup editors: a QTableWidget whose column 0 is
// a fixed caption column, offering a drop-down list in cells whose choice list the
// window fills when the edit starts, and a text editor in the others.
//
// Each edit raises BeforeEdit when it starts (before the editor is made, so the
// window can fill the list), TextChange while the operator types, and exactly one
// commit event when it ends: EnterKey when Enter ended it, FocusLost when the focus
// left the grid, AfterEdit for every other ending (another cell clicked, a list item
// picked, Tab). Escape abandons the edit: the cell keeps its text and no commit event
// is raised. The commit event comes after the editor is gone, so the window may show
// a message or rewrite the cell.
#pragma once

#include <QAbstractItemDelegate>
#include <QStringList>
#include <QTableWidget>
#include <map>
#include <utility>

#include "editors/GridView.h"

namespace delvar::windows {

class CellGrid : public QTableWidget, public editors::GridView {
    Q_OBJECT

  public:
    explicit CellGrid(const QString& objectName, QWidget* parent = nullptr);

    void SetSize(int rows, int cols) override;
    void SetHeading(int col, const std::string& text) override;
    void SetCaption(int row, const std::string& text) override;
    void SetCellText(int row, int col, const std::string& text) override;
    std::string CellText(int row, int col) const override;
    // 0 hides the row (its cells and texts stay); any other height shows it at the
    // grid's row height.
    void SetRowHeight(int row, int height) override;
    void ClearList(int row, int col) override;
    void AddListItem(int row, int col, const std::string& text) override;
    int ChosenIndex() const override { return chosen_; }
    void SetLocked(int row, int col, bool locked) override;
    void SetCellColour(int row, int col, editors::GridColour text) override;
    void SetRowColour(int row, editors::GridColour background) override;
    void SetToolTip(const std::string& text) override;
    void SetEvents(editors::GridEvents* events) override { events_ = events; }

    // Sizes the columns to their texts (every column after the caption column at
    // least minValueWidth wide) and fixes the grid's size to show all columns and
    // visible rows without scroll bars.
    void FitToContents(int minValueWidth);
    // True while a cell editor is open.
    bool Editing() const { return editing_; }

    // Used by the cell editors.
    QStringList ListOf(int row, int col) const;
    void EditStarting(int row, int col);
    void EditTextChanged();
    void SetChosen(int index) { chosen_ = index; }
    enum class EndReason { Other, Enter, FocusLost };
    void SetEndReason(EndReason reason) { endReason_ = reason; }

  protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

  private:
    QTableWidgetItem* Cell(int row, int col) const;

    editors::GridEvents* events_ = nullptr;
    std::map<std::pair<int, int>, QStringList> lists_;
    int chosen_ = -1;
    bool editing_ = false;
    int editRow_ = -1, editCol_ = -1;
    EndReason endReason_ = EndReason::Other;
    int pointerRow_ = -1;
};

}  // namespace delvar::windows
