#include "windows/editors/frmLogic.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <functional>

#include "windows/SpinButton.h"
#include "windows/WidgetNames.h"

namespace delvar::windows {

using editors::LogicPart;

namespace {

constexpr int kIf = 0, kThen = 1;

int Side(LogicPart part) {
    return part == LogicPart::If ? kIf : kThen;
}

// The name selector: an editable list that reports when its list is about to open,
// so a name typed into it is taken first.
class NameSelector final : public QComboBox {
  public:
    std::function<void()> beforePopup;
    void showPopup() override {
        if (beforePopup) beforePopup();
        QComboBox::showPopup();
    }
};

QListWidget* List(const char* name, const char* toolTip) {
    auto* list = Named(new QListWidget, name, toolTip);
    list->setMinimumWidth(list->fontMetrics().horizontalAdvance(QString(16, 'W')) * 3 / 4);
    return list;
}

// Every list as tall as the longest category list, so both category lists show all
// their choices at once.
constexpr int kListRows = 14;

// A sunken box for a statement's text, wrapping long conditions.
QLabel* StatementLabel(const char* name) {
    auto* label = Named(new QLabel, name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setMinimumHeight(label->fontMetrics().height() * 2 + 8);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

constexpr const char* kOperators[7] = {"AND", "OR", "NOT", "(", ")", ">", "<"};

// The selected row of a list, -1 when none is: the row that merely has the focus (as
// when the list is reached with Tab) is not chosen.
int SelectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.front());
}

bool IsChooseKey(const QKeyEvent* key) {
    return (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
           (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
            key->key() == Qt::Key_Space);
}

}  // namespace

frmLogic::frmLogic(editors::EditorContext& context, QWidget* parent)
    : QDialog(parent), logic_(context, *this) {
    setObjectName("frmLogic");
    setWindowTitle("Edit Logic Statements");
    setModal(true);
    BuildControls();
    logic_.Open();
    const int rowHeight = lstCategory_[kIf]->sizeHintForRow(0);
    for (QListWidget* list :
         {lstCategory_[kIf], lstSelect_[kIf], lstCategory_[kThen], lstSelect_[kThen]})
        list->setFixedHeight(rowHeight * kListRows + 2 * list->frameWidth());
    Connect();
}

frmLogic::~frmLogic() {
    // The dialog's own destructor hides it, and the focus leaving the name box would
    // report an edit to the builder, which is gone by then.
    for (QWidget* child : findChildren<QWidget*>()) child->blockSignals(true);
}

QWidget* frmLogic::BuildIfFrame() {
    auto* frame = Named(new QGroupBox("IF (Condition)"), "fraIf");
    lstCategory_[kIf] = List("lstIfCategory", "Select a condition category.");
    lstSelect_[kIf] = List("lstIfSelect", "Select a condition; Add puts it on the IF string.");
    auto* lblCategory = new QLabel("Ca&tegory:");
    lblCategory->setBuddy(lstCategory_[kIf]);
    lblSelect_ = Named(new QLabel("Cond&ition:"), "lblIfSelect");
    lblSelect_->setBuddy(lstSelect_[kIf]);
    txtValue_ = Named(new QLineEdit, "txtValue", "Timer value to compare with.");
    txtValue_->setMaximumWidth(txtValue_->fontMetrics().horizontalAdvance("0000000") + 12);
    // The Up and Down keys in the value box step it, so the arrows take no focus.
    spnValue_ = SpinButton(
        "spnValue", "Set the timer value.", [this](int step) { logic_.TimerValueStep(step); },
        false);
    auto* value = new QHBoxLayout;
    value->addWidget(txtValue_);
    value->addWidget(spnValue_);
    value->addStretch();

    cmdAdd_ = Button("cmdAdd", "&Add", "Add selected condition to IF string.");
    auto* ops = new QGridLayout;
    ops->addWidget(cmdAdd_, 0, 0, 1, 2);
    for (int i = 0; i < 7; ++i) {
        const std::string name = "cmdOp_" + std::to_string(i);
        const QString tip = QString("Add %1 condition to IF string.").arg(kOperators[i]);
        cmdOp_[std::size_t(i)] = Button(name.c_str(), kOperators[i]);
        cmdOp_[std::size_t(i)]->setToolTip(tip);
        cmdOp_[std::size_t(i)]->setMinimumWidth(40);
        ops->addWidget(cmdOp_[std::size_t(i)], 1 + i / 2, i % 2);
    }
    cmdBack_ = Button("cmdBack", "&Back", "Delete last condition from IF string.");
    ops->addWidget(cmdBack_, 4, 1);
    ops->setRowStretch(5, 1);

    auto* grid = new QGridLayout;
    grid->addWidget(lblCategory, 0, 0);
    grid->addWidget(lblSelect_, 0, 1);
    grid->addWidget(lstCategory_[kIf], 1, 0);
    grid->addWidget(lstSelect_[kIf], 1, 1);
    grid->addLayout(value, 1, 1, Qt::AlignTop);
    grid->addLayout(ops, 1, 2);
    lblIf_ = StatementLabel("lblIf");
    auto* all = new QVBoxLayout(frame);
    all->addLayout(grid);
    all->addStretch();
    all->addWidget(lblIf_);
    return frame;
}

QWidget* frmLogic::BuildThenFrame() {
    auto* frame = Named(new QGroupBox("THEN (Action)"), "fraThen");
    lstCategory_[kThen] = List("lstThenCategory", "Select an action category.");
    lstSelect_[kThen] = List("lstThenSelect", "Select the action.");
    auto* lblCategory = new QLabel("Categor&y:");
    lblCategory->setBuddy(lstCategory_[kThen]);
    auto* lblAction = new QLabel("Acti&on:");
    lblAction->setBuddy(lstSelect_[kThen]);
    auto* grid = new QGridLayout;
    grid->addWidget(lblCategory, 0, 0);
    grid->addWidget(lblAction, 0, 1);
    grid->addWidget(lstCategory_[kThen], 1, 0);
    grid->addWidget(lstSelect_[kThen], 1, 1);
    lblThen_ = StatementLabel("lblThen");
    auto* all = new QVBoxLayout(frame);
    all->addLayout(grid);
    all->addStretch();  // the statement texts of both frames on one line
    all->addWidget(lblThen_);
    return frame;
}

void frmLogic::BuildControls() {
    auto* selector = new NameSelector;
    selector->beforePopup = [this] {
        logic_.NameTextLeft(cboNames_->currentText().toStdString(), true);
    };
    cboNames_ = Named<QComboBox>(selector, "cboNames", "Select and name logic statements.");
    cboNames_->setEditable(true);
    cboNames_->setInsertPolicy(QComboBox::NoInsert);
    cboNames_->setCompleter(nullptr);
    cboNames_->setMaxVisibleItems(16);
    cboNames_->setMinimumWidth(cboNames_->fontMetrics().horizontalAdvance(QString(18, 'W')));
    auto* lblName = new QLabel("Na&me:");
    lblName->setBuddy(cboNames_);
    lblNumber_ = Named(new QLabel("1."), "lblNumber");
    lblNumber_->setMinimumWidth(lblNumber_->fontMetrics().horizontalAdvance("32.") + 4);
    cmdCopy_ = Button("cmdCopy", "&Copy", "Copy this logic statement.");
    cmdPaste_ = Button("cmdPaste", "&Paste", "Paste the copied statement over this one.");
    cmdClear_ = Button("cmdClear", "Cl&ear", "Clear logic statement IF and THEN.");
    cmdClearAll_ = Button("cmdClearAll", "Clear A&ll", "Clear all logic statements.");
    auto* top = new QHBoxLayout;
    top->addWidget(lblName);
    top->addWidget(lblNumber_);
    top->addWidget(cboNames_);
    top->addSpacing(12);
    for (QPushButton* b : {cmdCopy_, cmdPaste_, cmdClear_, cmdClearAll_}) top->addWidget(b);
    top->addStretch();

    cmdUpLoad_ = Button("cmdUpLoad", "<- UpLoad", "Read this statement from Delvar.");
    cmdUpLoadAll_ = Button("cmdUpLoadAll", "UpLoad All", "Read all statements from Delvar.");
    cmdDnLoad_ = Button("cmdDnLoad", "DnLoad ->", "Send this statement to Delvar.");
    cmdDnLoadAll_ = Button("cmdDnLoadAll", "DnLoad All", "Send all statements to Delvar.");
    prgStatus_ = Named(new QProgressBar, "prgStatus");
    prgStatus_->setRange(0, 100);
    prgStatus_->setTextVisible(false);
    prgStatus_->setMaximumHeight(12);
    auto* fraUpDn = Named(new QGroupBox("Instrument Transfer"), "fraUpDn");
    auto* upDn = new QGridLayout(fraUpDn);
    upDn->addWidget(cmdUpLoad_, 0, 0);
    upDn->addWidget(cmdUpLoadAll_, 0, 1);
    upDn->addWidget(cmdDnLoad_, 0, 2);
    upDn->addWidget(cmdDnLoadAll_, 0, 3);
    upDn->addWidget(prgStatus_, 1, 0, 1, 4);

    cmdSave_ = Button("cmdSave", "&Save", "Close form and save changes to memory.");
    cmdCancel_ = Button("cmdCancel", "Ca&ncel", "Close form and abandon changes.");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(fraUpDn);
    bottom->addStretch();
    bottom->addWidget(cmdSave_, 0, Qt::AlignBottom);
    bottom->addWidget(cmdCancel_, 0, Qt::AlignBottom);

    auto* frames = new QHBoxLayout;
    frames->addWidget(BuildIfFrame(), 3);
    frames->addWidget(BuildThenFrame(), 2);

    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(frames);
    all->addLayout(bottom);

    // Tab goes round the window as it reads: the statement and its buttons, the IF
    // frame, the THEN frame, the transfers, Save and Cancel.
    QWidget* order[] = {
        cboNames_,         cmdCopy_,        cmdPaste_,           cmdClear_,         cmdClearAll_,
        lstCategory_[kIf], lstSelect_[kIf], txtValue_,           cmdAdd_,           cmdOp_[0],
        cmdOp_[1],         cmdOp_[2],       cmdOp_[3],           cmdOp_[4],         cmdOp_[5],
        cmdOp_[6],         cmdBack_,        lstCategory_[kThen], lstSelect_[kThen], cmdUpLoad_,
        cmdUpLoadAll_,     cmdDnLoad_,      cmdDnLoadAll_,       cmdSave_,          cmdCancel_};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void frmLogic::Connect() {
    for (LogicPart part : {LogicPart::If, LogicPart::Then})
        connect(lstCategory_[Side(part)], &QListWidget::currentRowChanged, this,
                [this, part](int row) { logic_.CategoryChosen(part, row); });
    connect(lstSelect_[kIf], &QListWidget::itemDoubleClicked, this, [this] { Add(); });
    // An action is chosen as soon as it is selected, with the mouse or the arrow keys;
    // a click on the item already selected chooses it again (for another statement).
    auto action = [this] {
        const int row = SelectedRow(lstSelect_[kThen]);
        if (row >= 0) logic_.ActionChosen(row);
    };
    connect(lstSelect_[kThen], &QListWidget::itemSelectionChanged, this, action);
    connect(lstSelect_[kThen], &QListWidget::itemClicked, this, action);
    for (QListWidget* list : lstSelect_) list->installEventFilter(this);
    txtValue_->installEventFilter(this);
    connect(txtValue_, &QLineEdit::editingFinished, this,
            [this] { logic_.TimerValueTyped(txtValue_->text().toStdString()); });
    connect(cmdAdd_, &QPushButton::clicked, this, [this] { Add(); });
    for (int i = 0; i < 7; ++i)
        connect(cmdOp_[std::size_t(i)], &QPushButton::clicked, this,
                [this, i] { logic_.AddOperator(i); });
    connect(cmdBack_, &QPushButton::clicked, this, [this] { logic_.Back(); });

    connect(cboNames_, &QComboBox::currentIndexChanged, this,
            [this](int index) { logic_.StatementChosen(index); });
    connect(cboNames_->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { logic_.NameTextLeft(cboNames_->currentText().toStdString()); });
    connect(cmdCopy_, &QPushButton::clicked, this, [this] { logic_.Copy(); });
    connect(cmdPaste_, &QPushButton::clicked, this, [this] { logic_.Paste(); });
    connect(cmdClear_, &QPushButton::clicked, this, [this] { logic_.Clear(); });
    connect(cmdClearAll_, &QPushButton::clicked, this, [this] { logic_.ClearAll(); });
    connect(cmdUpLoad_, &QPushButton::clicked, this, [this] { Transfer(true, false); });
    connect(cmdUpLoadAll_, &QPushButton::clicked, this, [this] { Transfer(true, true); });
    connect(cmdDnLoad_, &QPushButton::clicked, this, [this] { Transfer(false, false); });
    connect(cmdDnLoadAll_, &QPushButton::clicked, this, [this] { Transfer(false, true); });
    connect(cmdSave_, &QPushButton::clicked, this, [this] {
        bool close = false;
        {
            TransferScope scope(lock_);  // Save may download every statement
            close = logic_.Save();
        }
        if (close) accept();
    });
    connect(cmdCancel_, &QPushButton::clicked, this, &frmLogic::reject);
}

void frmLogic::Add() {
    // A value typed and not yet taken (the box not left) counts; a refused one adds nothing.
    if (txtValue_->isVisibleTo(this) && !logic_.TimerValueTyped(txtValue_->text().toStdString()))
        return;
    logic_.AddCondition(SelectedRow(lstSelect_[kIf]));
}

bool frmLogic::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == txtValue_ && key->modifiers() == Qt::NoModifier &&
        (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
        // The box's own spin keys: a value typed first is taken, then stepped.
        if (logic_.TimerValueTyped(txtValue_->text().toStdString()))
            logic_.TimerValueStep(key->key() == Qt::Key_Up ? +1 : -1);
        return true;
    }
    for (int side : {kIf, kThen}) {
        QListWidget* list = lstSelect_[side];
        if (watched != list || !IsChooseKey(key)) continue;
        // Return or Space takes the item with the focus: IF adds it, THEN makes it the
        // action (selecting it already does, unless it was selected before).
        QListWidgetItem* item = list->currentItem();
        if (!item) return true;
        if (!item->isSelected())
            list->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
        else if (side == kThen)
            logic_.ActionChosen(list->row(item));
        if (side == kIf) Add();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmLogic::Transfer(bool upload, bool all) {
    TransferScope scope(lock_);
    if (upload)
        logic_.UpLoad(all);
    else
        logic_.DnLoad(all);
}

void frmLogic::reject() {
    if (lock_.DeferClose([this] { QDialog::reject(); })) return;
    QDialog::reject();
}

void frmLogic::SetCategoryLists(const std::vector<std::string>& ifNames,
                                const std::vector<std::string>& thenNames) {
    for (int side : {kIf, kThen}) {
        const QSignalBlocker quiet(lstCategory_[side]);
        lstCategory_[side]->clear();
        for (const std::string& name : side == kIf ? ifNames : thenNames)
            lstCategory_[side]->addItem(Q(name));
    }
}

void frmLogic::SelectCategory(LogicPart part, int index) {
    const QSignalBlocker quiet(lstCategory_[Side(part)]);
    lstCategory_[Side(part)]->setCurrentRow(index);
}

void frmLogic::SetSelectList(LogicPart part, const std::vector<std::string>& texts) {
    QListWidget* list = lstSelect_[Side(part)];
    const QSignalBlocker quiet(list);
    list->setUpdatesEnabled(false);
    list->clear();
    QStringList items;
    items.reserve(int(texts.size()));
    for (const std::string& text : texts) items << Q(text);
    list->addItems(items);
    list->setUpdatesEnabled(true);
}

void frmLogic::ShowTimerValue(bool shown) {
    lstSelect_[kIf]->setVisible(!shown);
    txtValue_->setVisible(shown);
    spnValue_->setVisible(shown);
    lblSelect_->setText(shown ? "Val&ue:" : "Cond&ition:");
    lblSelect_->setBuddy(shown ? static_cast<QWidget*>(txtValue_) : lstSelect_[kIf]);
}

void frmLogic::SetTimerValueText(const std::string& text) {
    txtValue_->setText(Q(text));
}

void frmLogic::SetNameList(const std::vector<std::string>& names) {
    const QSignalBlocker quiet(cboNames_);
    const int keep = cboNames_->currentIndex();
    cboNames_->clear();
    for (const std::string& name : names) cboNames_->addItem(Q(name));
    cboNames_->setCurrentIndex(keep);
}

void frmLogic::SetNameEntry(int index, const std::string& name) {
    cboNames_->setItemText(index, Q(name));
}

void frmLogic::SelectName(int index) {
    const QSignalBlocker quiet(cboNames_);
    cboNames_->setCurrentIndex(index);
    cboNames_->setEditText(cboNames_->itemText(index));
}

void frmLogic::SetNumberLabel(const std::string& text) {
    lblNumber_->setText(Q(text));
}

void frmLogic::SetConditionText(const std::string& text) {
    lblIf_->setText(Q(text));
}

void frmLogic::SetActionText(const std::string& text) {
    lblThen_->setText(Q(text));
}

void frmLogic::SetPasteEnabled(bool enabled) {
    cmdPaste_->setEnabled(enabled);
}

void frmLogic::SetTransfersEnabled(bool enabled) {
    for (QPushButton* b : {cmdUpLoad_, cmdUpLoadAll_, cmdDnLoad_, cmdDnLoadAll_})
        b->setEnabled(enabled);
}

void frmLogic::SetProgress(int percent) {
    prgStatus_->setValue(percent);
}

}  // namespace delvar::windows
