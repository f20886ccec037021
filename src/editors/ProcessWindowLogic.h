// The setup window without its widgets: the process tree and its layer operations,
// process renaming, the transfer selection, the database files, the editors it opens,
// the batch transfers, and the questions of closing.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "core/DialogService.h"
#include "editors/EditorContext.h"
#include "editors/ProcessTree.h"
#include "link/Link.h"
#include "setup/Progress.h"
#include "setup/SetupData.h"
#include "setup/modDatabase.h"
#include "transfer/BatchTransfer.h"

namespace delvar::editors {

inline constexpr const char* kDatabaseFilter = "DB Files (*.mdb)|*.mdb";
inline constexpr const char* kDatabaseSuffix = "mdb";  // added by the save dialog
inline constexpr const char* kClickTopLayer = " Click the top layer for this layer number.";
inline constexpr const char* kOfflineNotice =
    "Sensor, Source, and Logic changes require instrument on line.";
inline constexpr const char* kSaveQuestion = "Save Instrument data to a Database file?";
inline constexpr const char* kIncompleteNotice =
    "The instrument data is incomplete: the upload failed part way.";
inline constexpr const char* kIncompleteCaption = " - Instrument data incomplete";

enum class Pending { None, Insert, CoDep, Delete };

enum class TransferCheck { All, Processes, Films, Materials };

// The transfer check boxes: their values, and whether the three below "All" can be used.
struct TransferChecks {
    bool all = false, processes = false, films = false, materials = false;
    bool othersEnabled = true;
};

enum class Editor { Layer, Film, Material, Sensors, Sources, IO, Logic, System };
inline constexpr std::size_t kEditorCount = 8;
// Each opens its editor modally on the context; an empty one: that editor is missing.
using EditorOpenerTable = std::array<std::function<void(EditorContext&)>, kEditorCount>;

// The operations the logic needs on the window's controls.
class ProcessWindowView {
  public:
    virtual ~ProcessWindowView() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    // Whether each node is expanded, by position (ProcessTree.h).
    virtual std::vector<bool> ExpandedNodes() const = 0;
    // Replaces the tree; currentKey (when not empty) is selected and scrolled to.
    virtual void ShowTree(const std::vector<TreeNode>& processes, const std::vector<bool>& expanded,
                          const std::string& currentKey) = 0;
    virtual void SetChecks(const TransferChecks& checks) = 0;
    virtual void EnableTransfers(bool enabled) = 0;  // cmdUpload and cmdDownload
    virtual void ShowPending(Pending pending) = 0;   // which layer button waits for a click
    // The line under the tree: what a waiting operation wants clicked, or a warning.
    virtual void SetNotice(const std::string& text, bool warning) = 0;
};

struct ProcessWindowServices {
    link::Link& link;
    setup::SetupData& setup;
    setup::modDatabase& database;
    core::DialogService& dialogs;
    setup::ProgressDisplay& progress;
    app::AppSettings& settings;
    std::string programDir;  // file dialogs start there; "TempDB" and bare file names live there
};

class ProcessWindowLogic {
  public:
    // sourceFlag 0: the setup comes from the database; 1: from the instrument.
    ProcessWindowLogic(ProcessWindowServices services, EditorOpenerTable openers,
                       ProcessWindowView& view, int sourceFlag);

    // The opening steps: backups, check boxes, the database opened or the whole setup
    // uploaded, the tree built.
    void Open();

    // The layer buttons: each only notes its operation, and only when none waits.
    void InsertLayerClicked() { SetPending(Pending::Insert); }
    void InsertCoDepClicked() { SetPending(Pending::CoDep); }
    void DeleteLayerClicked() { SetPending(Pending::Delete); }
    // A click on a tree node: the waiting operation, else the node's editor or rename.
    void NodeClicked(const std::string& key, const std::string& text);

    void CheckClicked(TransferCheck check, bool on);
    void Upload();    // cmdUpload
    void Download();  // cmdDownload

    void FileOpen();
    void FileSave();
    // True when the setup was saved into a chosen file.
    bool FileSaveAs();

    bool HasEditor(Editor editor) const;
    void Edit(Editor editor);  // the Edit menu
    void ShowTreeHelp();       // the Help menu: what the clicks do

    // Closing any way but Cancel: true when the window may close (the question asked).
    bool QueryClose();
    // cmdCancel: true when the window may close; the four tables were then restored.
    bool Cancel();

    std::string Caption() const;
    Pending PendingOperation() const { return pending_; }
    const transfer::TransferState& State() const { return state_; }
    bool InstrumentDataIncomplete() const { return incomplete_; }
    bool Busy() const { return busy_; }
    EditorContext& Context() { return context_; }

  private:
    // The setup database as the window uses it. The current file is the database
    // module's, made current by an open or a Save As; TempDB, which only holds the
    // setup while the instrument's is saved before a download, never becomes current.
    class WindowFiles final : public transfer::SetupFiles {
      public:
        WindowFiles(setup::modDatabase& database, std::string tempDb)
            : database_(database), tempDb_(std::move(tempDb)) {}
        bool Save(const std::string& path) override { return database_.DBSave(path); }
        bool Open(const std::string& path) override;
        std::string CurrentDatabase() const override { return database_.CurrentDatabase(); }
        void MakeCurrent(const std::string& path) { database_.MakeCurrent(path); }

      private:
        setup::modDatabase& database_;
        std::string tempDb_;
    };

    struct Backup {
        decltype(setup::SetupData::processes) processes;
        decltype(setup::SetupData::layers) layers;
        decltype(setup::SetupData::films) films;
        decltype(setup::SetupData::materials) materials;
    };

    void SetPending(Pending pending);
    // True when a layer was inserted (its node is then expanded).
    bool RunPending(Pending pending, const NodeRef& node, const std::string& text);
    void OpenNode(const NodeRef& node);
    void RenameProcess(int process);
    void OpenEditor(Editor editor);
    // Opens path; on success it is current, the caption names it and the data is the file's.
    bool OpenDatabase(const std::string& path);
    bool SaveInto(const std::string& path);
    // The tree anew from the setup; key is selected, and expanded when expand is set.
    void Rebuild(const std::string& key = "", bool expand = false);
    void ShowChecks();
    void ShowState();  // caption, waiting operation and notice
    std::string Notice() const;
    void EnableTransfers() { view_.EnableTransfers(!busy_ && services_.link.Info().Online); }
    // Runs a transfer with the transfer buttons disabled and clicks ignored.
    bool Transfer(const std::function<bool()>& run);
    // An upload; a failure after reading began marks the data incomplete.
    bool RunUpload(const transfer::TransferSelection& selection);
    transfer::TransferSelection Selection() const;
    std::string DialogStart() const;  // the file a file dialog starts on
    std::string DatabasePath(const std::string& name) const;
    void Message(const std::string& text);

    ProcessWindowServices services_;
    EditorOpenerTable openers_;
    ProcessWindowView& view_;
    EditorContext context_;
    transfer::TransferState state_;
    WindowFiles files_;
    transfer::BatchTransfer transfer_;
    std::unique_ptr<Backup> backup_ = std::make_unique<Backup>();
    Pending pending_ = Pending::None;
    bool incomplete_ = false;  // the data in memory is what a failed upload left
    bool busy_ = false;        // a transfer or an editor runs: clicks wait
};

}  // namespace delvar::editors
