#include "transfer/BatchTransfer.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "commands/modCommSystem.h"
#include "link/Frame.h"

namespace delvar::transfer {

using namespace delvar::setup;

namespace fs = std::filesystem;

BatchTransfer::BatchTransfer(link::Link& link, core::DialogService& dialogs,
                             ProgressDisplay& progress, SetupData& setup, TransferState& state,
                             std::string title)
    : link_(link),
      dialogs_(dialogs),
      progress_(progress),
      setup_(setup),
      state_(state),
      title_(std::move(title)) {}

void BatchTransfer::Message(const std::string& text) {
    dialogs_.ShowMessage({text, title_});
}

int BatchTransfer::Failed(const char* kind, const std::string& item, int status) {
    if (Lost(status, item)) return status;
    // A refused logic statement (50-52) was a Bad Data reply on the wire.
    const int shown = (status >= 50 && status <= 52) ? link::kBadData : status;
    Message(std::string("Instrument ") + kind + " Error: " + item + "\n" + link::StatusText(shown));
    return status;
}

void BatchTransfer::Progress(const char* caption, const std::string& item, int n, int count) {
    progress_.Update(caption, item, count > 0 ? n * 100 / count : 100);
}

int BatchTransfer::Channels() const {
    return std::clamp(link_.Info().ChannelCount, 0, kMaxChannels);
}

void BatchTransfer::BeginWhole() {
    whole_ = true;
    lost_ = lostWriting_ = false;
    lostAt_.clear();
    read_.clear();
    written_.clear();
}

bool BatchTransfer::EndWhole(bool ok, const std::string& savedNothingTo) {
    whole_ = false;
    if (!lost_) return ok;
    Message(LostMessage(savedNothingTo));
    return false;
}

bool BatchTransfer::Lost(int status, const std::string& where) {
    if (!whole_ || status != link::kTimeout) return false;
    if (!lost_) {
        lost_ = true;
        lostAt_ = where;
        lostWriting_ = writing_;
        lostStep_ = step_;
    }
    return true;
}

std::string StepName(int step) {
    static constexpr const char* kNames[] = {
        "processes", "",        "films",   "materials",        "relays",
        "inputs",    "sensors", "sources", "logic statements", "system setup"};
    return step >= 0 && step <= kStepSystem ? kNames[step] : "";
}

namespace {
std::string Listed(const std::vector<std::string>& steps) {
    std::string text;
    for (std::size_t i = 0; i < steps.size(); ++i)
        text += (i == 0 ? "" : i + 1 == steps.size() ? " and " : ", ") + steps[i];
    return text;
}
}  // namespace

std::string BatchTransfer::LostMessage(const std::string& savedNothingTo) const {
    std::string text = "The instrument stopped answering (at " + lostAt_ + ").";
    if (lostWriting_ || !written_.empty()) {
        std::string holds;
        if (!written_.empty()) holds = "the new " + Listed(written_);
        if (lostWriting_ && !StepName(lostStep_).empty())
            holds += (holds.empty() ? "" : ", and ") + std::string("part of the new ") +
                     StepName(lostStep_) + " (up to " + lostAt_ + ")";
        text += "\nThe instrument now holds " + holds + "; the rest of its setup is as it was.";
    }
    if (!lostWriting_)
        text += "\n" + (read_.empty() ? std::string("Nothing was read completely.")
                                      : "Read completely: " + Listed(read_) + ".");
    return text + (savedNothingTo.empty()
                       ? "\nNothing was saved."
                       : "\nThe upload failed: nothing was saved to " + savedNothingTo + ".");
}

bool BatchTransfer::Upload(const TransferSelection& selection) {
    BeginWhole();
    return EndWhole(UploadSteps(selection));
}

bool BatchTransfer::UploadSteps(const TransferSelection& selection) {
    if (selection.all) return WholeUpload();
    progress_.Show("Read Instrument", "", "", 4);
    bool ok = true;
    if (selection.processes) ok &= RunUploadStep(kStepProcesses) == 0;
    if (selection.films && !lost_) ok &= RunUploadStep(kStepFilms) == 0;
    if (selection.materials && !lost_) ok &= RunUploadStep(kStepMaterials) == 0;
    progress_.Close();
    return ok;
}

bool BatchTransfer::UploadToFile(const TransferSelection& selection, SetupFiles& files,
                                 const std::string& path) {
    BeginWhole();
    const bool read = UploadSteps(selection);
    if (lost_) return EndWhole(false, path);
    whole_ = false;
    if (!read) {
        NothingSaved(path);
        return false;
    }
    if (!files.Save(path)) return false;
    state_.unsavedInstrumentData = false;
    return true;
}

void BatchTransfer::NothingSaved(const std::string& path) {
    Message("The upload failed: nothing was saved to " + path + ".");
}

bool BatchTransfer::WholeUpload() {
    progress_.Show("Read Instrument", "", "", 4);
    if (link_.CommStatus() != 0) {
        progress_.Close();
        Message("Error: Batch Upload Lock");
        return false;
    }
    // A failed step has shown its message; the others still run, unless the
    // instrument has stopped answering.
    bool ok = true;
    for (int step = 0; step <= kStepSystem && !lost_; ++step) ok &= RunUploadStep(step) == 0;
    progress_.Close();
    state_.caption = "Edit - [Instrument Upload]";
    if (lost_) return false;
    if (link_.CommStatus() != 0) {
        Message("Error: Batch Upload Unlock");
        return false;
    }
    return ok;
}

bool BatchTransfer::Download(const TransferSelection& selection, SetupFiles& files,
                             const DownloadPaths& paths) {
    BeginWhole();
    std::string savedNothingTo;
    const bool ok = DownloadSteps(selection, files, paths, savedNothingTo);
    return EndWhole(ok, savedNothingTo);
}

bool BatchTransfer::DownloadSteps(const TransferSelection& selection, SetupFiles& files,
                                  const DownloadPaths& paths, std::string& savedNothingTo) {
    if (!selection.all) {
        progress_.Show("Write Instrument", "", "", 4);
        bool ok = true;
        if (selection.processes) ok &= RunDownloadStep(kStepProcesses) == 0;
        if (selection.films && !lost_) ok &= RunDownloadStep(kStepFilms) == 0;
        if (selection.materials && !lost_) ok &= RunDownloadStep(kStepMaterials) == 0;
        progress_.Close();
        return ok;
    }
    const auto answer = dialogs_.ShowMessage(
        {"This will completely overwrite Delvar data.\nSave the current Delvar setup before "
         "download?",
         title_, core::MessageIcon::Question, core::MessageButtons::YesNoCancel});
    if (answer == core::MessageAnswer::Cancel) return false;
    // The file the setup to download belongs to: backed up and saved at the end, also
    // when the setup waited in TempDB meanwhile (saving it into TempDB would leave the
    // operator's file without the setup the instrument now runs).
    const std::string database = files.CurrentDatabase();
    if (answer == core::MessageAnswer::Yes) {
        // Every save must succeed before the next step, or a setup would be lost.
        if (!files.Save(paths.tempDb)) return false;
        const std::string start =
            (fs::path(paths.programFolder) / FileNamePart(files.CurrentDatabase())).string();
        auto chosen = dialogs_.AskSaveFile("", "DB Files (*.mdb)|*.mdb", start);
        if (!chosen) return false;
        if (fs::path(*chosen).extension().empty()) *chosen += ".mdb";
        // The instrument's present setup goes into the chosen file first; when it
        // cannot be read whole, nothing is saved and nothing is overwritten.
        if (!WholeUpload()) {
            if (lost_)
                savedNothingTo = *chosen;  // said in the one message at the end
            else
                NothingSaved(*chosen);
            files.Open(paths.tempDb);
            return false;
        }
        if (!files.Save(*chosen) || !files.Open(paths.tempDb)) return false;
        state_.caption = "Edit - [" + FileNamePart(database) + "]";
        state_.unsavedInstrumentData = false;
        state_.setupSource = 0;
    }
    return WholeDownload(files, database);
}

bool BatchTransfer::WholeDownload(SetupFiles& files, const std::string& database) {
    read_.clear();  // from here on what was read is the read-back
    if (link_.CommStatus() != 0) {
        Message("Error: Batch Download Lock");
        return false;
    }
    progress_.Show("Write Instrument", "", "", 4);
    bool ok = true;
    for (int step = 0; step <= kStepSystem && !lost_; ++step) {
        const int result = RunDownloadStep(step);
        ok &= result == 0;
        if (step == kStepProcesses &&
            (result == link::kFourChannelsRequired || result == link::kCoDepRequired)) {
            progress_.Close();
            Message("Wrong instrument for this database.\nRemaining downloads aborted.");
            return false;
        }
    }
    progress_.Close();
    if (lost_) return false;
    if (link_.CommStatus() != 0) {
        Message("Error: Batch Download Unlock");
        return false;
    }
    return ReadBackAndSave(files, database) && ok;
}

bool BatchTransfer::ReadBackAndSave(SetupFiles& files, const std::string& database) {
    using namespace commands;
    int result = 0;
    for (int k = 1; k <= Channels(); ++k) {
        result = WriteSensor(link_, setup_.sensors, k, 0);
        if (result == 0) result = WriteSource(link_, setup_.sources, k, 0);
        if (Lost(result, "Sensor " + std::to_string(k))) return false;
    }
    // What the instrument made of the I/O, sensors and sources comes back into memory.
    for (int step : {kStepInputs, kStepRelays, kStepSensors, kStepSources}) {
        if (result != 0) return false;
        result = RunUploadStep(step);
    }
    if (result != 0) return false;

    if (database.empty()) return true;  // no database to keep the setup in
    const std::string backup = OriginalBackupPath(database);
    std::error_code error;
    if (!backup.empty() && !fs::exists(backup, error) && fs::exists(database, error))
        fs::copy_file(database, backup, error);
    if (!files.Save(database)) return false;
    state_.unsavedInstrumentData = false;
    return true;
}

std::string OriginalBackupPath(const std::string& database) {
    if (database.size() < 4) return {};
    return database.substr(0, database.size() - 4) + "_org.mdb";
}

std::string FileNamePart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace delvar::transfer
