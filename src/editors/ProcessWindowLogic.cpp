#include "editors/ProcessWindowLogic.h"

#include <filesystem>
#include <system_error>

#include "app/AppTitle.h"
#include "app/SettingsFile.h"
#include "editors/TypedName.h"
#include "setup/LayerChains.h"
#include "util/Text.h"

namespace delvar::editors {

namespace fs = std::filesystem;
using core::MessageAnswer;
using transfer::FileNamePart;

namespace {
std::string FileCaption(const std::string& path) {
    return "Edit - [" + FileNamePart(path) + "]";
}

bool SameName(const std::string& a, const std::string& b) {
    return util::ToUpper(util::Trim(a)) == util::ToUpper(util::Trim(b));
}
}  // namespace

bool ProcessWindowLogic::WindowFiles::Open(const std::string& path) {
    const std::string current = database_.CurrentDatabase();
    const bool opened = database_.DBOpen(path);
    if (path == tempDb_) database_.MakeCurrent(current);
    return opened;
}

ProcessWindowLogic::ProcessWindowLogic(ProcessWindowServices services, EditorOpenerTable openers,
                                       ProcessWindowView& view, int sourceFlag)
    : services_(std::move(services)),
      openers_(std::move(openers)),
      view_(view),
      context_{services_.link, services_.setup, services_.dialogs, services_.progress},
      files_(services_.database, DatabasePath("TempDB")),
      transfer_(services_.link, services_.dialogs, services_.progress, services_.setup, state_,
                app::kAppTitle) {
    state_.setupSource = sourceFlag;
}

void ProcessWindowLogic::Open() {
    const setup::SetupData& s = services_.setup;
    *backup_ = {s.processes, s.layers, s.films, s.materials};
    CheckClicked(TransferCheck::All, services_.settings.UpDnAll == 1);
    // Until a file has been opened, the current file is the one the settings name; a
    // missing one is made by the first save.
    if (files_.CurrentDatabase().empty())
        files_.MakeCurrent(DatabasePath(services_.settings.DatabaseFile));
    if (state_.setupSource == 0) {
        const std::string path = files_.CurrentDatabase();
        std::error_code error;
        if (!fs::exists(path, error) || !OpenDatabase(path)) FileOpen();
        state_.caption = FileCaption(files_.CurrentDatabase());
    } else {
        RunUpload({});
    }
    EnableTransfers();
    Rebuild();
    ShowState();
}

void ProcessWindowLogic::SetPending(Pending pending) {
    if (busy_ || pending_ != Pending::None) return;
    pending_ = pending;
    ShowState();
}

void ProcessWindowLogic::NodeClicked(const std::string& key, const std::string& text) {
    const auto node = ParseNodeKey(key);
    if (busy_ || !node) return;
    const bool chainNode = node->kind != NodeKind::Film;
    bool inserted = false;
    if (pending_ == Pending::Delete && node->kind == NodeKind::Layer)
        RunPending(Pending::Delete, *node, text);
    else if ((pending_ == Pending::Insert || pending_ == Pending::CoDep) && chainNode)
        inserted = RunPending(pending_, *node, text);
    else
        OpenNode(*node);
    ShowState();
    Rebuild(key, inserted);
}

bool ProcessWindowLogic::RunPending(Pending pending, const NodeRef& node, const std::string& text) {
    setup::SetupData& s = services_.setup;
    if (pending == Pending::CoDep &&
        (node.kind != NodeKind::Layer || text.empty() || text.front() != 'L')) {
        Message(kClickTopLayer);  // the CoDep insert still waits for a top layer
        return false;
    }
    pending_ = Pending::None;
    // A refused insert (a full layer table, a fourth CoDep layer) changes nothing.
    if (pending == Pending::Delete) {
        setup::DeleteLayer(s, node.process, node.layer);
        return false;
    }
    if (pending == Pending::Insert)
        return setup::InsertLayer(s, node.process, node.kind == NodeKind::Layer ? node.layer : 0) !=
               0;
    return setup::InsertCoDepLayer(s, node.process, node.layer) != 0;
}

void ProcessWindowLogic::OpenNode(const NodeRef& node) {
    context_.currentProcess = node.process;
    if (node.kind == NodeKind::Process) return RenameProcess(node.process);
    context_.currentLayer = node.layer;
    if (node.kind == NodeKind::Film) {
        context_.currentFilm = node.film;
        OpenEditor(Editor::Film);
    } else {
        OpenEditor(Editor::Layer);
    }
}

void ProcessWindowLogic::RenameProcess(int process) {
    setup::ProcessRec& record = services_.setup.processes[process];
    const std::string current = util::Trim(record.Process_Name);
    while (const auto reply =
               services_.dialogs.AskText("Enter new name:", "Edit Process", current)) {
        const std::string name = TypedName(*reply);
        if (util::Trim(name).empty() || SameName(name, current)) return;
        int duplicate = 0;
        for (int p = 1; p <= setup::kMaxProcesses && duplicate == 0; ++p)
            if (SameName(services_.setup.processes[p].Process_Name, name)) duplicate = p;
        if (duplicate == 0) {
            record.Process_Name = name;
            TellLostCharacters(*reply, name, services_.dialogs);
            return;
        }
        Message("Duplicate Name @ Process #" + std::to_string(duplicate) + ".");
    }
}

void ProcessWindowLogic::CheckClicked(TransferCheck check, bool on) {
    app::AppSettings& s = services_.settings;
    const int value = on ? 1 : 0;
    switch (check) {
        case TransferCheck::All:
            s.UpDnAll = value;
            if (on) s.UpDnProcesses = s.UpDnSystem = s.UpDnMaterials = 1;
            break;
        case TransferCheck::Processes:
            s.UpDnProcesses = value;
            break;
        case TransferCheck::Films:
            s.UpDnSystem = value;
            break;
        case TransferCheck::Materials:
            s.UpDnMaterials = value;
            break;
    }
    ShowChecks();
}

void ProcessWindowLogic::ShowChecks() {
    const transfer::TransferSelection selection = Selection();
    view_.SetChecks(
        {selection.all, selection.processes, selection.films, selection.materials, !selection.all});
}

transfer::TransferSelection ProcessWindowLogic::Selection() const {
    const app::AppSettings& s = services_.settings;
    return {s.UpDnAll == 1, s.UpDnProcesses == 1, s.UpDnSystem == 1, s.UpDnMaterials == 1};
}

bool ProcessWindowLogic::Transfer(const std::function<bool()>& run) {
    // A reply damaged on the line costs one more exchange, not the transfer.
    const link::RepeatDamagedReplies repeat(services_.link);
    busy_ = true;
    EnableTransfers();
    const bool ok = run();
    busy_ = false;
    EnableTransfers();
    return ok;
}

bool ProcessWindowLogic::RunUpload(const transfer::TransferSelection& selection) {
    // Each step marks the data as instrument data when it starts; a failure before
    // any step started (off line, lock refused) leaves memory as it was.
    const bool unsavedBefore = state_.unsavedInstrumentData;
    state_.unsavedInstrumentData = false;
    const bool ok = Transfer([&] { return transfer_.Upload(selection); });
    const bool read = state_.unsavedInstrumentData;
    state_.unsavedInstrumentData = read || unsavedBefore;
    if (read && !ok)
        incomplete_ = true;
    else if (ok && selection.all)
        incomplete_ = false;
    return ok;
}

void ProcessWindowLogic::Upload() {
    if (busy_) return;
    RunUpload(Selection());
    Rebuild();
    ShowState();
}

void ProcessWindowLogic::Download() {
    if (busy_) return;
    const transfer::DownloadPaths paths{DatabasePath("TempDB"), services_.programDir};
    Transfer([&] { return transfer_.Download(Selection(), files_, paths); });
    Rebuild();
    ShowState();
}

bool ProcessWindowLogic::OpenDatabase(const std::string& path) {
    if (!files_.Open(path)) return false;
    state_.caption = FileCaption(path);
    state_.unsavedInstrumentData = false;
    state_.setupSource = 0;
    incomplete_ = false;
    services_.settings.DatabaseFile = path;
    return true;
}

void ProcessWindowLogic::FileOpen() {
    if (busy_) return;
    const auto chosen = services_.dialogs.AskOpenFile("", kDatabaseFilter, DialogStart());
    if (!chosen) return;
    OpenDatabase(*chosen);
    // A failed open may have read part of the file: show what memory now holds.
    Rebuild();
    ShowState();
}

void ProcessWindowLogic::FileSave() {
    if (busy_) return;
    // After a failed open nothing is current; Save then asks where, as Save As does.
    if (files_.CurrentDatabase().empty()) {
        FileSaveAs();
        return;
    }
    SaveInto(files_.CurrentDatabase());
}

bool ProcessWindowLogic::FileSaveAs() {
    if (busy_) return false;
    const auto chosen =
        services_.dialogs.AskSaveFile({"", kDatabaseFilter, DialogStart(), kDatabaseSuffix});
    if (!chosen || chosen->empty()) return false;
    std::string path = *chosen;
    // The dialog adds the suffix itself, before its overwrite question; this is for
    // a dialog that could not.
    if (!fs::path(path).has_extension()) path += ".mdb";
    if (!SaveInto(path)) return false;
    files_.MakeCurrent(path);
    services_.settings.DatabaseFile = path;
    state_.caption = FileCaption(path);
    ShowState();
    return true;
}

bool ProcessWindowLogic::SaveInto(const std::string& path) {
    if (!files_.Save(path)) return false;
    state_.unsavedInstrumentData = false;
    return true;
}

bool ProcessWindowLogic::HasEditor(Editor editor) const {
    return bool(openers_[std::size_t(editor)]);
}

void ProcessWindowLogic::Edit(Editor editor) {
    // A missing editor opens nothing, so it has nothing to warn about either.
    if (busy_ || !HasEditor(editor)) return;
    link::Link& link = services_.link;
    const bool needsLink =
        editor == Editor::Sensors || editor == Editor::Sources || editor == Editor::Logic;
    if (needsLink && !link.Info().Online && !link.OfflineNoticeShown) {
        Message(kOfflineNotice);
        link.OfflineNoticeShown = true;
    }
    OpenEditor(editor);
    Rebuild();
}

void ProcessWindowLogic::ShowTreeHelp() {
    Message(
        "Click a process to rename it, a layer to edit the layer, a film to edit the film.\n"
        "To insert or delete a layer, click Insert Layer, Insert CoDep or Delete Layer, then "
        "the layer (or, to insert first, the process).");
}

void ProcessWindowLogic::OpenEditor(Editor editor) {
    const auto& open = openers_[std::size_t(editor)];
    if (!open) return;
    busy_ = true;
    open(context_);
    busy_ = false;
}

bool ProcessWindowLogic::QueryClose() {
    if (busy_) return false;
    if (!state_.unsavedInstrumentData || state_.setupSource != 1) return true;
    const std::string text =
        incomplete_ ? std::string(kIncompleteNotice) + "\n" + kSaveQuestion : kSaveQuestion;
    switch (services_.dialogs.ShowMessage(
        {text, app::kAppTitle, core::MessageIcon::Question, core::MessageButtons::YesNoCancel})) {
        case MessageAnswer::No:
            return true;
        case MessageAnswer::Yes:
            return FileSaveAs();
        default:
            return false;
    }
}

bool ProcessWindowLogic::Cancel() {
    // Asked first, so that a window kept open still shows the data it holds.
    if (!QueryClose()) return false;
    setup::SetupData& s = services_.setup;
    s.processes = backup_->processes;
    s.layers = backup_->layers;
    s.films = backup_->films;
    s.materials = backup_->materials;
    return true;
}

void ProcessWindowLogic::ShowState() {
    view_.SetCaption(Caption());
    view_.ShowPending(pending_);
    view_.SetNotice(Notice(), pending_ == Pending::None && incomplete_);
}

std::string ProcessWindowLogic::Notice() const {
    switch (pending_) {
        case Pending::Insert:
            return "Click the layer to insert a new layer below, or the process to insert one "
                   "first.";
        case Pending::CoDep:
            return "Click the top layer to add a CoDep layer to.";
        case Pending::Delete:
            return "Click the layer to delete.";
        case Pending::None:
            break;
    }
    return incomplete_ ? kIncompleteNotice : "";
}

std::string ProcessWindowLogic::Caption() const {
    return incomplete_ ? state_.caption + kIncompleteCaption : state_.caption;
}

void ProcessWindowLogic::Rebuild(const std::string& key, bool expand) {
    const std::vector<TreeNode> nodes = ProcessNodes(services_.setup);
    std::vector<bool> expanded = KeepExpanded(view_.ExpandedNodes(), CountNodes(nodes));
    if (expand)
        if (const auto at = PositionOf(nodes, key)) expanded[*at] = true;
    view_.ShowTree(nodes, expanded, key);
}

std::string ProcessWindowLogic::DialogStart() const {
    const std::string current = files_.CurrentDatabase().empty() ? services_.settings.DatabaseFile
                                                                 : files_.CurrentDatabase();
    return (fs::path(services_.programDir) / FileNamePart(current)).string();
}

std::string ProcessWindowLogic::DatabasePath(const std::string& name) const {
    return app::BesideSettings(name, services_.programDir);
}

void ProcessWindowLogic::Message(const std::string& text) {
    services_.dialogs.ShowMessage({text, app::kAppTitle});
}

}  // namespace delvar::editors
