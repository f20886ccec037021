#include "windows/editors/CellGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>

#include "windows/WidgetNames.h"

namespace delvar::windows {

namespace {

QColor Colour(editors::GridColour c) {
    return QColor(c.r, c.g, c.b);
}

// True when widget is ancestor or lies inside it, also across windows (a drop-down
// list's popup is a window of its own inside its combo box).
bool Within(const QWidget* widget, const QWidget* ancestor) {
    for (; widget; widget = widget->parentWidget())
        if (widget == ancestor) return true;
    return false;
}

// Makes the cell editors: a drop-down list when the window filled the cell's choice
// list in BeforeEdit, else a text editor. Tells the grid how each edit ends.
class CellDelegate final : public QStyledItemDelegate {
  public:
    explicit CellDelegate(CellGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        grid_.EditStarting(index.row(), index.column());
        auto* self = const_cast<CellDelegate*>(this);
        const QStringList list = grid_.ListOf(index.row(), index.column());
        if (!list.isEmpty()) {
            auto* combo = new QComboBox(parent);
            combo->addItems(list);
            // Picking an item ends the edit at once, as a drop-down list does.
            connect(combo, &QComboBox::activated, combo, [self, combo] {
                emit self->commitData(combo);
                emit self->closeEditor(combo, QAbstractItemDelegate::NoHint);
            });
            QTimer::singleShot(0, combo, [combo] {
                if (combo->isVisible()) combo->showPopup();
            });
            return combo;
        }
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        connect(edit, &QLineEdit::textEdited, edit, [this] { grid_.EditTextChanged(); });
        return edit;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        const QString text = index.data(Qt::EditRole).toString();
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            // Nothing is chosen until the operator picks an item.
            combo->setPlaceholderText(text);
            combo->setCurrentIndex(-1);
        } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            edit->setText(text);
        }
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            if (combo->currentIndex() < 0) return;
            grid_.SetChosen(combo->currentIndex());
            model->setData(index, combo->currentText());
        } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            model->setData(index, edit->text());
        }
    }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                grid_.SetEndReason(CellGrid::EndReason::Enter);
        } else if (editor && event->type() == QEvent::FocusOut) {
            const QWidget* to = QApplication::focusWidget();
            if (!Within(to, editor))
                grid_.SetEndReason(Within(to, &grid_) ? CellGrid::EndReason::Other
                                                      : CellGrid::EndReason::FocusLost);
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

  private:
    CellGrid& grid_;
};

}  // namespace

CellGrid::CellGrid(const QString& objectName, QWidget* parent) : QTableWidget(parent) {
    setObjectName(objectName);
    setItemDelegate(new CellDelegate(*this));
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setHighlightSections(false);
    viewport()->setMouseTracking(true);
}

QTableWidgetItem* CellGrid::Cell(int row, int col) const {
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount()) return nullptr;
    return item(row, col);
}

void CellGrid::SetSize(int rows, int cols) {
    setRowCount(std::max(rows, 0));
    setColumnCount(std::max(cols, 0));
    for (auto it = lists_.begin(); it != lists_.end();)
        it = (it->first.first >= rowCount() || it->first.second >= columnCount()) ? lists_.erase(it)
                                                                                  : std::next(it);
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c) {
            if (item(r, c)) continue;
            auto* cell = new QTableWidgetItem;
            if (c == 0) {
                // The fixed caption column: never edited, drawn like a heading.
                cell->setFlags(Qt::ItemIsEnabled);
                cell->setBackground(palette().button());
                cell->setForeground(palette().buttonText());
            }
            setItem(r, c, cell);
        }
}

void CellGrid::SetHeading(int col, const std::string& text) {
    if (col < 0 || col >= columnCount()) return;
    setHorizontalHeaderItem(col, new QTableWidgetItem(Q(text)));
}

void CellGrid::SetCaption(int row, const std::string& text) {
    SetCellText(row, 0, text);
}

void CellGrid::SetCellText(int row, int col, const std::string& text) {
    if (auto* cell = Cell(row, col)) cell->setText(Q(text));
}

std::string CellGrid::CellText(int row, int col) const {
    const auto* cell = Cell(row, col);
    return cell ? cell->text().toStdString() : std::string();
}

void CellGrid::SetRowHeight(int row, int height) {
    if (row < 0 || row >= rowCount()) return;
    setRowHidden(row, height <= 0);
}

void CellGrid::ClearList(int row, int col) {
    lists_.erase({row, col});
}

void CellGrid::AddListItem(int row, int col, const std::string& text) {
    if (!Cell(row, col)) return;
    lists_[{row, col}].append(Q(text));
}

QStringList CellGrid::ListOf(int row, int col) const {
    const auto it = lists_.find({row, col});
    return it == lists_.end() ? QStringList() : it->second;
}

void CellGrid::SetLocked(int row, int col, bool locked) {
    auto* cell = Cell(row, col);
    if (!cell || col == 0) return;
    cell->setFlags(locked ? cell->flags() & ~Qt::ItemIsEditable
                          : cell->flags() | Qt::ItemIsEditable);
}

void CellGrid::SetCellColour(int row, int col, editors::GridColour text) {
    if (auto* cell = Cell(row, col)) cell->setForeground(Colour(text));
}

void CellGrid::SetRowColour(int row, editors::GridColour background) {
    // White is the normal background: every cell gets back the grid's own look, the
    // caption cell its heading colour.
    const bool normal = background == editors::GridColour{255, 255, 255};
    for (int c = 0; c < columnCount(); ++c) {
        auto* cell = Cell(row, c);
        if (!cell) continue;
        if (!normal)
            cell->setBackground(Colour(background));
        else
            cell->setBackground(c == 0 ? palette().button() : QBrush());
    }
}

void CellGrid::SetToolTip(const std::string& text) {
    const QString tip = Q(text);
    if (tip == toolTip()) return;
    setToolTip(tip);
    // A tooltip already showing follows the pointer to its new row.
    if (QToolTip::isVisible() && viewport()->underMouse()) {
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(QCursor::pos(), tip, viewport());
    }
}

void CellGrid::FitToContents(int minValueWidth) {
    resizeColumnsToContents();
    for (int c = 1; c < columnCount(); ++c)
        setColumnWidth(c, std::max(columnWidth(c), minValueWidth));
    int width = 2 * frameWidth();
    for (int c = 0; c < columnCount(); ++c) width += columnWidth(c);
    int height = 2 * frameWidth() + horizontalHeader()->sizeHint().height();
    for (int r = 0; r < rowCount(); ++r)
        if (!isRowHidden(r)) height += rowHeight(r);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFixedSize(width, height);
}

void CellGrid::EditStarting(int row, int col) {
    editing_ = true;
    editRow_ = row;
    editCol_ = col;
    chosen_ = -1;
    endReason_ = EndReason::Other;
    if (events_) events_->BeforeEdit(row, col);
}

void CellGrid::EditTextChanged() {
    if (editing_ && events_) events_->TextChange(editRow_, editCol_);
}

void CellGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const bool commit = editing_ && hint != QAbstractItemDelegate::RevertModelCache;
    editing_ = false;
    // The editor goes first, so what the window does on the commit (a message box,
    // rewriting the cell) cannot end the same edit twice. Tab does not open the next
    // cell: its BeforeEdit would come before this cell's commit.
    QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (!commit || !events_) return;
    switch (endReason_) {
        case EndReason::Enter:
            events_->EnterKey(editRow_, editCol_);
            break;
        case EndReason::FocusLost:
            events_->FocusLost(editRow_, editCol_);
            break;
        case EndReason::Other:
            events_->AfterEdit(editRow_, editCol_);
            break;
    }
}

void CellGrid::mouseMoveEvent(QMouseEvent* event) {
    QTableWidget::mouseMoveEvent(event);
    const int row = rowAt(int(event->position().y()));
    if (row < 0 || row == pointerRow_) return;
    pointerRow_ = row;
    if (events_) events_->PointerMove(row);
}

bool CellGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) pointerRow_ = -1;
    if (event->type() == QEvent::ToolTip && !toolTip().isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), toolTip(), viewport());
        return true;
    }
    return QTableWidget::viewportEvent(event);
}

}  // namespace delvar::windows
