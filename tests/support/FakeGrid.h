// A grid for editor tests: holds what the editor writes, plays the operator's edits
// (typing, picking from the drop-down list) with the events in the real grid's order,
// and fails the test on any cell outside the size the editor set.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "editors/GridView.h"

namespace delvar::testing {

class FakeGrid final : public editors::GridView {
  public:
    enum class Ending { AfterEdit, Enter, FocusLost };

    // The operator types text into the cell and ends the edit. Nothing happens in a
    // locked cell or the caption column, as in the real grid.
    void Type(int row, int col, const std::string& text, Ending ending = Ending::AfterEdit) {
        if (!Editable(row, col)) return;
        chosen_ = -1;
        events_->BeforeEdit(row, col);
        texts_[{row, col}] = text;
        events_->TextChange(row, col);
        End(row, col, ending);
    }
    // The operator opens the cell's list and picks position (negative: picks nothing).
    void Choose(int row, int col, int position) {
        if (!Editable(row, col)) return;
        chosen_ = -1;
        events_->BeforeEdit(row, col);
        const auto list = List(row, col);
        if (position >= 0 && position < int(list.size())) {
            chosen_ = position;
            texts_[{row, col}] = list[std::size_t(position)];
        }
        End(row, col, Ending::AfterEdit);
    }
    void Point(int row) { events_->PointerMove(row); }

    std::vector<std::string> List(int row, int col) const {
        auto it = lists_.find({row, col});
        return it == lists_.end() ? std::vector<std::string>{} : it->second;
    }
    bool Hidden(int row) const { return heights_.count(row) && heights_.at(row) == 0; }
    bool Locked(int row, int col) const { return locked_.count({row, col}) > 0; }
    editors::GridColour TextColour(int row, int col) const {
        auto it = colours_.find({row, col});
        return it == colours_.end() ? editors::GridColour{} : it->second;
    }
    editors::GridColour RowColour(int row) const {
        auto it = rowColours_.find(row);
        return it == rowColours_.end() ? editors::GridColour{255, 255, 255} : it->second;
    }
    std::string Heading(int col) const { return headings_.count(col) ? headings_.at(col) : ""; }
    const std::string& ToolTip() const { return toolTip_; }
    int Rows() const { return rows_; }
    int Cols() const { return cols_; }
    bool HasEvents() const { return events_ != nullptr; }
    // Runs when the editor reads a cell or the chosen entry: a test raises an error there.
    std::function<void()> onRead;

    void SetSize(int rows, int cols) override {
        rows_ = rows;
        cols_ = cols;
    }
    void SetHeading(int col, const std::string& text) override {
        if (Check(0, col)) headings_[col] = text;
    }
    void SetCaption(int row, const std::string& text) override { SetCellText(row, 0, text); }
    void SetCellText(int row, int col, const std::string& text) override {
        if (Check(row, col)) texts_[{row, col}] = text;
    }
    std::string CellText(int row, int col) const override {
        if (onRead) onRead();
        if (!Check(row, col)) return "";
        auto it = texts_.find({row, col});
        return it == texts_.end() ? "" : it->second;
    }
    void SetRowHeight(int row, int height) override {
        if (Check(row, 0)) heights_[row] = height;
    }
    void ClearList(int row, int col) override {
        if (Check(row, col)) lists_.erase({row, col});
    }
    void AddListItem(int row, int col, const std::string& text) override {
        if (Check(row, col)) lists_[{row, col}].push_back(text);
    }
    int ChosenIndex() const override {
        if (onRead) onRead();
        return chosen_;
    }
    void SetLocked(int row, int col, bool locked) override {
        if (!Check(row, col)) return;
        if (locked)
            locked_.insert({{row, col}, true});
        else
            locked_.erase({row, col});
    }
    void SetCellColour(int row, int col, editors::GridColour text) override {
        if (Check(row, col)) colours_[{row, col}] = text;
    }
    void SetRowColour(int row, editors::GridColour background) override {
        if (Check(row, 0)) rowColours_[row] = background;
    }
    void SetToolTip(const std::string& text) override { toolTip_ = text; }
    void SetEvents(editors::GridEvents* events) override { events_ = events; }

  private:
    using Cell = std::pair<int, int>;
    bool Check(int row, int col) const {
        const bool inside = row >= 0 && row < rows_ && col >= 0 && col < cols_;
        if (!inside) ADD_FAILURE() << "cell " << row << "," << col << " outside the grid";
        return inside;
    }
    bool Editable(int row, int col) const {
        EXPECT_NE(events_, nullptr);
        return events_ && Check(row, col) && col != 0 && !Locked(row, col);
    }
    void End(int row, int col, Ending ending) {
        switch (ending) {
            case Ending::AfterEdit:
                events_->AfterEdit(row, col);
                break;
            case Ending::Enter:
                events_->EnterKey(row, col);
                break;
            case Ending::FocusLost:
                events_->FocusLost(row, col);
                break;
        }
    }

    int rows_ = 0, cols_ = 0;
    std::map<int, std::string> headings_;
    std::map<Cell, std::string> texts_;
    std::map<Cell, std::vector<std::string>> lists_;
    std::map<Cell, bool> locked_;
    std::map<Cell, editors::GridColour> colours_;
    std::map<int, editors::GridColour> rowColours_;
    std::map<int, int> heights_;
    std::string toolTip_;
    int chosen_ = -1;
    editors::GridEvents* events_ = nullptr;
};

}  // namespace delvar::testing
