// Whole-setup transfer between the instrument and memory: the upload (instrument to
// SetupData) and the download (SetupData to the instrument, then the read-back and the
// database save), in numbered steps, each inside an XSTART/XSTOP lock. The process
// window only calls this; its messages go through the dialog service.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/DialogService.h"
#include "link/Link.h"
#include "setup/Progress.h"
#include "setup/SetupData.h"

namespace delvar::transfer {

using setup::ProgressDisplay;
using setup::SetupData;

// What the download needs of the setup database.
class SetupFiles {
  public:
    virtual ~SetupFiles() = default;
    // The whole SetupData into path; false when it failed (the failure has been shown).
    virtual bool Save(const std::string& path) = 0;
    // path into SetupData, and it becomes current; false when it failed.
    virtual bool Open(const std::string& path) = 0;
    virtual std::string CurrentDatabase() const = 0;
};

// The process window's state the transfers change.
struct TransferState {
    int setupSource = 0;  // 0: the setup came from a database, 1: from the instrument
    bool unsavedInstrumentData = false;
    std::string caption;  // the process window's caption
};

struct TransferSelection {
    bool all = true;
    bool processes = false, films = false, materials = false;
};

struct DownloadPaths {
    std::string tempDb;         // where the setup waits while the instrument's is saved
    std::string programFolder;  // where the save dialog starts
};

enum UploadStep {
    kStepProcesses = 0,
    kStepFilms = 2,
    kStepMaterials = 3,
    kStepRelays = 4,
    kStepInputs = 5,
    kStepSensors = 6,
    kStepSources = 7,
    kStepLogic = 8,
    kStepSystem = 9,
};

class BatchTransfer {
  public:
    BatchTransfer(link::Link& link, core::DialogService& dialogs, ProgressDisplay& progress,
                  SetupData& setup, TransferState& state, std::string title = "Delvar Comm");

    // cmdUpload. True when every step that ran succeeded.
    bool Upload(const TransferSelection& selection);
    // The upload, then the save of what it read into path, which is made only when
    // every step succeeded: after a failed upload the file is as it was, and the
    // message says so. True when the upload and the save succeeded.
    bool UploadToFile(const TransferSelection& selection, SetupFiles& files,
                      const std::string& path);
    // cmdDownload. True when every step that ran succeeded; false also when cancelled.
    bool Download(const TransferSelection& selection, SetupFiles& files,
                  const DownloadPaths& paths);

    // One step with its lock; the failing status or 0.
    int RunUploadStep(int step);
    int RunDownloadStep(int step);

  private:
    // Upload, UploadToFile and Download are whole transfers: once the instrument has
    // stopped answering (a time-out) the remaining steps are not run, and one message
    // at the end says where it stopped, which steps were done and that nothing was saved.
    void BeginWhole();
    bool EndWhole(bool ok, const std::string& savedNothingTo = "");
    // True, and the first loss noted, when status is a time-out inside a whole transfer:
    // the caller then shows no message of its own.
    bool Lost(int status, const std::string& where);
    std::string LostMessage(const std::string& savedNothingTo) const;

    bool UploadSteps(const TransferSelection& selection);
    bool DownloadSteps(const TransferSelection& selection, SetupFiles& files,
                       const DownloadPaths& paths, std::string& savedNothingTo);
    bool WholeUpload();
    void NothingSaved(const std::string& path);
    bool WholeDownload(SetupFiles& files, const std::string& database);
    bool ReadBackAndSave(SetupFiles& files, const std::string& database);
    int LockedStep(int step, const char* direction, const std::function<int()>& work);
    int UploadWork(int step);
    // One exchange that moves record k, and what a failure message adds to its name.
    struct RecordPart {
        const char* suffix;
        std::function<int(int)> move;
    };
    int MoveRecords(const char* verb, const char* kinds, const char* kind, int count,
                    std::initializer_list<RecordPart> parts);
    int UploadProcess(int process);
    int DownloadWork(int step);
    int DownloadProcess(int process);
    int CheckProcesses();
    int CheckFilms();
    void Message(const std::string& text);
    int Failed(const char* kind, const std::string& item, int status);
    void Progress(const char* caption, const std::string& item, int n, int count);
    int Channels() const;

    link::Link& link_;
    core::DialogService& dialogs_;
    ProgressDisplay& progress_;
    SetupData& setup_;
    TransferState& state_;
    std::string title_;
    bool whole_ = false;  // a whole transfer runs: a lost link stops it
    bool lost_ = false;
    std::string lostAt_;                       // the item the instrument stopped answering at
    int step_ = -1;                            // the step running, -1 between steps
    bool writing_ = false;                     // step_ is a download step
    bool lostWriting_ = false;                 // the loss came while writing
    int lostStep_ = -1;                        // and in this step
    std::vector<std::string> read_, written_;  // the steps done whole
};

// The name a message gives step's records ("films"); "" for the empty step 1.
std::string StepName(int step);

// The one-time backup of a database before a download overwrites it: the path
// without its last four characters + "_org.mdb"; empty for a shorter path.
std::string OriginalBackupPath(const std::string& database);
// The text after the last "/".
std::string FileNamePart(const std::string& path);

}  // namespace delvar::transfer
