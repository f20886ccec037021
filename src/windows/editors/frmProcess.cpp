#include "windows/editors/frmProcess.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <utility>

#include "windows/WidgetNames.h"

namespace delvar::windows {

using editors::Editor;
using editors::Pending;
using editors::TransferCheck;

namespace {
constexpr int kKeyRole = Qt::UserRole;

editors::EditorOpenerTable OpenerTable(EditorOpeners o) {
    return {std::move(o.layer),   std::move(o.film), std::move(o.material), std::move(o.sensors),
            std::move(o.sources), std::move(o.io),   std::move(o.logic),    std::move(o.system)};
}

// Items for nodes, children first so that each item is whole when it is added.
QTreeWidgetItem* Item(const editors::TreeNode& node, const std::string& currentKey,
                      QTreeWidgetItem*& current) {
    auto* item = new QTreeWidgetItem(QStringList(Q(node.text)));
    item->setData(0, kKeyRole, Q(node.key));
    if (node.key == currentKey) current = item;
    for (const editors::TreeNode& child : node.children)
        item->addChild(Item(child, currentKey, current));
    return item;
}
}  // namespace

frmProcess::frmProcess(ProcessWindowDeps deps, int sourceFlag, QWidget* parent)
    : QDialog(parent),
      logic_({deps.link, deps.setup, deps.database, deps.dialogs, deps.progress, deps.settings,
              std::move(deps.programDir)},
             OpenerTable(std::move(deps.openers)), *this, sourceFlag) {
    setObjectName("frmProcess");
    setModal(true);
    BuildControls();
    BuildMenus();
    Connect();
}

void frmProcess::Start() {
    logic_.Open();
    show();
}

void frmProcess::BuildControls() {
    TV1_ = Named(new QTreeWidget, "TV1", "Click to edit parameters.");
    TV1_->setHeaderHidden(true);
    TV1_->setColumnCount(1);
    TV1_->setExpandsOnDoubleClick(false);  // a click already opens the node
    TV1_->setUniformRowHeights(true);
    TV1_->setMinimumSize(280, 360);

    auto* fraUpDn = Named(new QGroupBox("Instrument Transfer"), "fraUpDn");
    chkAll_ = Named(new QCheckBox("&All"), "chkAll", "Transfer all instrument setup parameters.");
    chkProcesses_ = Named(new QCheckBox("&Processes"), "chkProcesses", "Transfer Processes only.");
    chkFilms_ = Named(new QCheckBox("Fi&lms"), "chkFilms", "Transfer films only.");
    chkMaterials_ = Named(new QCheckBox("&Materials"), "chkMaterials", "Transfer Materials only.");
    cmdUpload_ = Button("cmdUpload", "<-- &Upload", "Read data from Delvar.");
    cmdDownload_ = Button("cmdDownload", "Do&wnload ->", "Send data to Delvar.");
    auto* transfer = new QVBoxLayout(fraUpDn);
    for (QWidget* w : {chkAll_, chkProcesses_, chkFilms_, chkMaterials_}) transfer->addWidget(w);
    transfer->addSpacing(6);
    transfer->addWidget(cmdUpload_);
    transfer->addWidget(cmdDownload_);

    auto* fraLayers = Named(new QGroupBox("Layers"), "fraLayers");
    cmdInsertLayer_ = Button("cmdInsertLayer", "&Insert Layer",
                             "Click, then select layer to insert new layer below.");
    cmdInsertCoDep_ = Button("cmdInsertCoDep", "Insert &CoDep",
                             "Click, then select layer to insert codep layer below.");
    cmdDeleteLayer_ =
        Button("cmdDeleteLayer", "&Delete Layer", "Click, then select layer to delete.");
    auto* layers = new QVBoxLayout(fraLayers);
    for (QPushButton* b : {cmdInsertLayer_, cmdInsertCoDep_, cmdDeleteLayer_}) {
        b->setCheckable(true);  // shown pressed while it waits for a node
        layers->addWidget(b);
    }

    cmdOK_ = Button("cmdOK", "&OK", nullptr);
    cmdCancel_ = Button("cmdCancel", "Cancel", "Close form and abandon changes.");
    auto* side = new QVBoxLayout;
    side->addWidget(fraUpDn);
    side->addWidget(fraLayers);
    side->addStretch(1);
    side->addWidget(cmdOK_);
    side->addWidget(cmdCancel_);

    lblNotice_ = Named(new QLabel, "lblNotice");
    lblNotice_->setWordWrap(true);
    // Room for two lines always, so the tree keeps its size when a notice comes.
    lblNotice_->setFixedHeight(lblNotice_->fontMetrics().lineSpacing() * 2 + 4);
    lblNotice_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* treeSide = new QVBoxLayout;
    treeSide->addWidget(TV1_, 1);
    treeSide->addWidget(lblNotice_);

    auto* all = new QHBoxLayout(this);
    all->addLayout(treeSide, 1);
    all->addLayout(side);
}

void frmProcess::BuildMenus() {
    auto* bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    const auto action = [this](QMenu* menu, const char* name, const char* caption,
                               std::function<void()> run) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, std::move(run));
        return a;
    };
    QMenu* file = bar->addMenu("&File");
    action(file, "mnuFileOpen", "&Open Database...", [this] { logic_.FileOpen(); });
    action(file, "mnuFileSave", "&Save Database", [this] { logic_.FileSave(); });
    action(file, "mnuFileSaveAs", "Save &As Database...", [this] { logic_.FileSaveAs(); });

    QMenu* edit = bar->addMenu("&Edit");
    static constexpr struct {
        const char* name;
        const char* caption;
        Editor editor;
    } kEditItems[] = {
        {"mnuEditFilms", "&Films...", Editor::Film},
        {"mnuEditMaterials", "&Materials...", Editor::Material},
        {"mnuEditSensors", "&Sensors...", Editor::Sensors},
        {"mnuEditSources", "S&ources...", Editor::Sources},
        {"mnuEditIO", "Digital &I/O...", Editor::IO},
        {"mnuEditLogic", "&Logic...", Editor::Logic},
        {"mnuEditSystem", "S&ystem...", Editor::System},
    };
    for (const auto& item : kEditItems) {
        const Editor editor = item.editor;
        action(edit, item.name, item.caption, [this, editor] {
            logic_.Edit(editor);
        })->setEnabled(logic_.HasEditor(editor));
    }

    QMenu* help = bar->addMenu("&Help");
    action(help, "mnuHelpTree", "Using the &Process Tree", [this] { logic_.ShowTreeHelp(); });
}

void frmProcess::Connect() {
    // The node's operation runs once the click is over: it rebuilds the tree and may
    // open dialogs, neither of which belongs inside the tree's own mouse handling.
    connect(TV1_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const std::string key = item->data(0, kKeyRole).toString().toStdString();
        const std::string text = item->text(0).toStdString();
        QMetaObject::invokeMethod(
            this, [this, key, text] { logic_.NodeClicked(key, text); }, Qt::QueuedConnection);
    });
    const auto pending = [this](QPushButton* button, void (editors::ProcessWindowLogic::*set)()) {
        connect(button, &QPushButton::clicked, this, [this, set] {
            (logic_.*set)();
            ShowPending(logic_.PendingOperation());
        });
    };
    pending(cmdInsertLayer_, &editors::ProcessWindowLogic::InsertLayerClicked);
    pending(cmdInsertCoDep_, &editors::ProcessWindowLogic::InsertCoDepClicked);
    pending(cmdDeleteLayer_, &editors::ProcessWindowLogic::DeleteLayerClicked);

    const auto check = [this](QCheckBox* box, TransferCheck which) {
        connect(box, &QCheckBox::clicked, this,
                [this, which](bool on) { logic_.CheckClicked(which, on); });
    };
    check(chkAll_, TransferCheck::All);
    check(chkProcesses_, TransferCheck::Processes);
    check(chkFilms_, TransferCheck::Films);
    check(chkMaterials_, TransferCheck::Materials);

    connect(cmdUpload_, &QPushButton::clicked, this, [this] { Transfer(true); });
    connect(cmdDownload_, &QPushButton::clicked, this, [this] { Transfer(false); });
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        cancelling_ = true;
        reject();
    });
}

// The tree, the menus and the other buttons wait while the setup moves.
void frmProcess::Transfer(bool upload) {
    const TransferScope scope(lock_);
    upload ? logic_.Upload() : logic_.Download();
}

void frmProcess::done(int result) {
    // A close asked for during a transfer (Escape) is carried out once it has ended.
    if (lock_.DeferClose([this, result] { done(result); })) return;
    const bool cancel = std::exchange(cancelling_, false);
    if (!(cancel ? logic_.Cancel() : logic_.QueryClose())) return;
    QDialog::done(result);
    emit closed();
}

void frmProcess::SetCaption(const std::string& caption) {
    setWindowTitle(Q(caption));
}

std::vector<bool> frmProcess::ExpandedNodes() const {
    std::vector<bool> expanded;
    for (QTreeWidgetItemIterator it(TV1_); *it; ++it) expanded.push_back((*it)->isExpanded());
    return expanded;
}

void frmProcess::ShowTree(const std::vector<editors::TreeNode>& processes,
                          const std::vector<bool>& expanded, const std::string& currentKey) {
    TV1_->setUpdatesEnabled(false);
    TV1_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(processes.size()));
    QTreeWidgetItem* current = nullptr;
    for (const editors::TreeNode& node : processes) items.append(Item(node, currentKey, current));
    TV1_->addTopLevelItems(items);
    std::size_t position = 0;
    for (QTreeWidgetItemIterator it(TV1_); *it && position < expanded.size(); ++it, ++position)
        if (expanded[position]) (*it)->setExpanded(true);
    if (current) {
        TV1_->setCurrentItem(current);
        TV1_->scrollToItem(current);
    }
    TV1_->setUpdatesEnabled(true);
}

void frmProcess::SetChecks(const editors::TransferChecks& checks) {
    chkAll_->setChecked(checks.all);
    chkProcesses_->setChecked(checks.processes);
    chkFilms_->setChecked(checks.films);
    chkMaterials_->setChecked(checks.materials);
    for (QCheckBox* box : {chkProcesses_, chkFilms_, chkMaterials_})
        box->setEnabled(checks.othersEnabled);
}

void frmProcess::EnableTransfers(bool enabled) {
    cmdUpload_->setEnabled(enabled);
    cmdDownload_->setEnabled(enabled);
}

void frmProcess::ShowPending(Pending pending) {
    cmdInsertLayer_->setChecked(pending == Pending::Insert);
    cmdInsertCoDep_->setChecked(pending == Pending::CoDep);
    cmdDeleteLayer_->setChecked(pending == Pending::Delete);
}

void frmProcess::SetNotice(const std::string& text, bool warning) {
    lblNotice_->setText(Q(text));
    lblNotice_->setStyleSheet(warning ? "color: #a00000; font-weight: bold;" : "");
}

}  // namespace delvar::windows
