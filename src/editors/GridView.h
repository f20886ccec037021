// The editable grid the grid-based setup editors show their records in, as their
// logic sees it: a fixed caption column, headings, cell texts, hidden (zero-height)
// rows, drop-down choice lists filled just before an edit, locks and colours, and six
// events. The Qt grid (windows/CellGrid) implements it; tests use a fake.
#pragma once

#include <string>

namespace delvar::editors {

struct GridColour {
    int r = 0, g = 0, b = 0;
    bool operator==(const GridColour&) const = default;
};

// What the grid tells its window, each with the cell concerned (rows and columns
// as the editor numbers them; column 0 is the caption column).
class GridEvents {
  public:
    virtual ~GridEvents() = default;
    virtual void BeforeEdit(int row, int col) = 0;  // fill the cell's choice list here
    virtual void TextChange(int row, int col) = 0;  // the operator types in an open cell
    virtual void AfterEdit(int row, int col) = 0;   // check, store or put the value back
    virtual void EnterKey(int row, int col) = 0;    // Enter in an open cell: commit it
    virtual void FocusLost(int row, int col) = 0;   // left the grid with a cell open: commit
    virtual void PointerMove(int row) = 0;          // the row under the pointer (tooltips)
};

class GridView {
  public:
    virtual ~GridView() = default;
    virtual void SetSize(int rows, int cols) = 0;
    virtual void SetHeading(int col, const std::string& text) = 0;
    virtual void SetCaption(int row, const std::string& text) = 0;
    virtual void SetCellText(int row, int col, const std::string& text) = 0;
    virtual std::string CellText(int row, int col) const = 0;
    virtual void SetRowHeight(int row, int height) = 0;  // 0 hides the row, cells kept
    virtual void ClearList(int row, int col) = 0;
    virtual void AddListItem(int row, int col, const std::string& text) = 0;
    // The 0-based position of the item chosen in the last edit, negative when none.
    virtual int ChosenIndex() const = 0;
    virtual void SetLocked(int row, int col, bool locked) = 0;
    virtual void SetCellColour(int row, int col, GridColour text) = 0;
    virtual void SetRowColour(int row, GridColour background) = 0;
    virtual void SetToolTip(const std::string& text) = 0;
    virtual void SetEvents(GridEvents* events) = 0;
};

}  // namespace delvar::editors
