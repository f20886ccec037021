// The numbered steps of the whole-setup upload and download.
#include <array>

#include "commands/modCommFilm.h"
#include "commands/modCommLogic.h"
#include "commands/modCommProcess.h"
#include "commands/modCommSystem.h"
#include "link/Frame.h"
#include "setup/LayerChains.h"
#include "transfer/BatchTransfer.h"
#include "transfer/TransferBracket.h"

namespace delvar::transfer {

using namespace delvar::setup;

using namespace commands;

namespace {

std::string Numbered(const char* kind, int n, const char* suffix = "") {
    return std::string(kind) + " " + std::to_string(n) + suffix;
}

}  // namespace

int BatchTransfer::RunUploadStep(int step) {
    if (!link_.Info().Online) {
        Message("Instrument Read Error: Instrument not online.\n" +
                std::string(link::StatusText(link::kTimeout)));
        return link::kTimeout;
    }
    state_.setupSource = 1;
    state_.unsavedInstrumentData = true;
    step_ = step;
    writing_ = false;
    const int result = LockedStep(step, "Upload", [this, step] { return UploadWork(step); });
    if (result == 0 && !StepName(step).empty()) read_.push_back(StepName(step));
    step_ = -1;
    return result;
}

// XSTART, the work, XSTOP. The lock is always released, also after a failed item.
int BatchTransfer::LockedStep(int step, const char* direction, const std::function<int()>& work) {
    const std::string batch = std::string("Error: Batch ") + direction;
    if (LockForTransfer(link_) != 0) {
        const int status = link_.CommStatus();
        if (!Lost(status, "the start of the " + StepName(step))) Message(batch + " Lock");
        return status;
    }
    const int result = work();
    if (ReleaseTransfer(link_) != 0) {
        const int status = link_.CommStatus();
        if (!Lost(status, "the end of the " + StepName(step))) Message(batch + " Unlock");
        return result != 0 ? result : status;
    }
    return result;
}

int BatchTransfer::UploadWork(int step) {
    const int channels = Channels();
    int status = 0;
    switch (step) {
        case kStepProcesses:
            for (int p = 1; p <= kMaxProcesses; ++p) {
                Progress("Reading Processes:", Numbered("Process", p), p, kMaxProcesses);
                if ((status = UploadProcess(p)) != 0) return status;
            }
            return 0;
        case kStepFilms:
            return MoveRecords("Read", "Films", "Film", kMaxFilms,
                               {{"", [&](int f) { return ReadFilm(link_, setup_, f); }}});
        case kStepMaterials:
            return MoveRecords(
                "Read", "Materials", "Material", kMaxMaterials,
                {{"", [&](int m) { return ReadMaterial(link_, dialogs_, setup_, m, 0); }}});
        case kStepRelays:
            return MoveRecords(
                "Read", "Relays", "Relay", 4 * channels,
                {{"", [&](int k) { return ReadRelay(link_, setup_.relays, k, 0); }}});
        case kStepInputs:
            return MoveRecords(
                "Read", "Inputs", "Input", 4 * channels,
                {{"", [&](int k) { return ReadInput(link_, setup_.inputs, k, 0); }}});
        case kStepSensors:
            return MoveRecords(
                "Read", "Sensors", "Sensor", channels,
                {{"", [&](int k) { return ReadSensor(link_, setup_.sensors, k, 0); }},
                 {" Inputs", [&](int k) { return ReadSensorIO(link_, setup_.sensors, k, 1); }},
                 {" Relays", [&](int k) { return ReadSensorIO(link_, setup_.sensors, k, 2); }}});
        case kStepSources:
            return MoveRecords(
                "Read", "Sources", "Source", channels,
                {{"", [&](int k) { return ReadSource(link_, setup_.sources, k, 0); }},
                 {" Inputs", [&](int k) { return ReadSourceIO(link_, setup_.sources, k, 1); }},
                 {" Relays", [&](int k) { return ReadSourceIO(link_, setup_.sources, k, 2); }}});
        case kStepLogic:
            return MoveRecords("Read", "Logic", "Logic Statement", kMaxLogic,
                               {{"", [&](int n) { return ReadLogic(link_, setup_.logic, n); }}});
        case kStepSystem:
            Progress("Reading System:", "System Setup", 1, 1);
            if ((status = ReadSystem(link_, setup_.system, 0)) != 0)
                return Failed("Read", "System Setup", status);
            return 0;
        default:
            return 0;  // step 1 has no work
    }
}

// Records 1..count of one kind, each moved by its exchanges in turn; the first that
// fails ends the step with its message ("Reading Sensors:" / "Sensor 2 Inputs").
int BatchTransfer::MoveRecords(const char* verb, const char* kinds, const char* kind, int count,
                               std::initializer_list<RecordPart> parts) {
    const std::string caption = std::string(verb[0] == 'R' ? "Reading " : "Writing ") + kinds + ":";
    for (int k = 1; k <= count; ++k) {
        Progress(caption.c_str(), Numbered(kind, k), k, count);
        for (const RecordPart& part : parts)
            if (const int status = part.move(k); status != 0)
                return Failed(verb, Numbered(kind, k, part.suffix), status);
    }
    return 0;
}

// One process and the layers its chain reaches, with the counts the walk finds.
int BatchTransfer::UploadProcess(int p) {
    if (const int status = ReadProcess(link_, setup_, p, 0); status != 0)
        return Failed("Read", Numbered("Process", p), status);
    ProcessRec& process = setup_.processes[p];
    const auto empty = [&process] {
        process.First_Layer = -1;
        process.Number_Layers = 0;
        process.Number_Act_Layers = 0;
    };
    if (process.First_Layer < 1) {
        empty();
        return 0;
    }
    // The chain comes from the instrument: each layer is read before its links are
    // followed, and the counts are what the walk found.
    int records = 0, status = 0;
    const ChainStep last = WalkChain(setup_, p, WalkLength::Linked, [&](const ChainStep& step) {
        status = ReadLayer(link_, setup_, step.layer, 0);
        if (status != 0) {
            const std::string where =
                "Process: " + std::to_string(p) + "  Layer: " + std::to_string(step.layer);
            if (!Lost(status, where))
                Message("Upload error. " + std::string(link::StatusText(status)) + ".\n" + where);
            return false;
        }
        ++records;
        return true;
    });
    if (status != 0) {
        empty();
        return status;
    }
    if (process.Number_Layers != last.top || process.Number_Act_Layers != records) {
        process.Number_Layers = std::int16_t(last.top);
        process.Number_Act_Layers = std::int16_t(records);
    }
    return 0;
}

int BatchTransfer::RunDownloadStep(int step) {
    if (!link_.Info().Online) {
        Message("Instrument Write Error: Instrument not online.\n" +
                std::string(link::StatusText(link::kTimeout)));
        return link::kTimeout;
    }
    step_ = step;
    writing_ = true;
    const int result = LockedStep(step, "Download", [this, step] { return DownloadWork(step); });
    if (result == 0 && !StepName(step).empty()) written_.push_back(StepName(step));
    step_ = -1;
    return result;
}

int BatchTransfer::CheckProcesses() {
    for (int p = 1; p <= kMaxProcesses; ++p) {
        if (setup_.processes[p].Number_Act_Layers <= 0) continue;
        const int result = CheckProcessModel(link_.Info(), setup_, p);
        if (result == link::kFourChannelsRequired)
            return Failed("Write",
                          Numbered("Process", p, " requires four channel Delvar.") +
                              "\nProcess downloads aborted!",
                          result);
        if (result == link::kCoDepRequired)
            return Failed("Write",
                          Numbered("Process", p, " requires CoDep model DelvarC.") +
                              "\nProcess downloads aborted!",
                          result);
    }
    return 0;
}

int BatchTransfer::CheckFilms() {
    for (int f = 1; f <= kMaxFilms; ++f) {
        const int result = CheckFilmModel(link_.Info(), setup_, f);
        if (result != 0)
            return Failed(
                "Write",
                Numbered("Film", f, " requires four channel Delvar.") + "\nFilm downloads aborted.",
                result);
    }
    return 0;
}

int BatchTransfer::DownloadWork(int step) {
    const int channels = Channels();
    int status = 0;
    switch (step) {
        case kStepProcesses:
            if ((status = CheckProcesses()) != 0) return status;
            for (int p = 1; p <= kMaxProcesses; ++p) {
                Progress("Writing Processes:", Numbered("Process", p), p, kMaxProcesses);
                if ((status = DownloadProcess(p)) != 0) return status;
            }
            return 0;
        case kStepFilms:
            if ((status = CheckFilms()) != 0) return status;
            return MoveRecords("Write", "Films", "Film", kMaxFilms,
                               {{"", [&](int f) { return WriteFilm(link_, setup_, f); }}});
        case kStepMaterials:
            return MoveRecords(
                "Write", "Materials", "Material", kMaxMaterials,
                {{"", [&](int m) { return WriteMaterial(link_, dialogs_, setup_, m, 0); }}});
        case kStepRelays:
            // Release every physical pin first, so no two records hold one pin meanwhile.
            // Their replies do not matter, but an instrument that stopped answering does.
            for (int k = 1; k <= 4 * channels; ++k)
                for (const char* release : {"GA", "GB"}) {
                    link_.SendCommand(release + std::to_string(k) +
                                      (release[1] == 'A' ? " 3,0" : " 5,0"));
                    if (Lost(link_.CommStatus(), Numbered("Relay", k))) return link::kTimeout;
                }
            return MoveRecords(
                "Write", "Relays", "Relay", 4 * channels,
                {{"", [&](int k) { return WriteRelay(link_, setup_.relays, k, 0); }}});
        case kStepInputs:
            return MoveRecords(
                "Write", "Inputs", "Input", 4 * channels,
                {{"", [&](int k) { return WriteInput(link_, setup_.inputs, k, 0); }}});
        case kStepSensors:
            return MoveRecords(
                "Write", "Sensors", "Sensor", channels,
                {{"", [&](int k) { return WriteSensor(link_, setup_.sensors, k, 0); }},
                 {" Inputs", [&](int k) { return WriteSensorIO(link_, setup_.sensors, k, 1); }},
                 {" Relays", [&](int k) { return WriteSensorIO(link_, setup_.sensors, k, 2); }}});
        case kStepSources:
            return MoveRecords(
                "Write", "Sources", "Source", channels,
                {{"", [&](int k) { return WriteSource(link_, setup_.sources, k, 0); }},
                 {" Inputs", [&](int k) { return WriteSourceIO(link_, setup_.sources, k, 1); }},
                 {" Relays", [&](int k) { return WriteSourceIO(link_, setup_.sources, k, 2); }}});
        case kStepLogic:
            return MoveRecords("Write", "Logic", "Logic Statement", kMaxLogic,
                               {{"", [&](int n) { return WriteLogic(link_, setup_.logic, n); }}});
        case kStepSystem:
            Progress("Writing System:", "System Setup", 1, 1);
            if ((status = WriteSystem(link_, setup_.system, 0)) != 0)
                return Failed("Write", "System Setup", status);
            return 0;
        default:
            return 0;
    }
}

// One process and its chain. A layer the instrument refuses leaves the process
// written as empty there, so it never points at layers it does not have.
int BatchTransfer::DownloadProcess(int p) {
    if (const int status = WriteProcess(link_, setup_, p, 0); status != 0)
        return Failed("Write", Numbered("Process", p), status);
    ProcessRec& process = setup_.processes[p];
    int status = 0;
    ChainStep failed;
    WalkChain(setup_, p, WalkLength::Recorded, [&](const ChainStep& step) {
        setup_.layers[step.layer].Layer_Deleted = 0;
        status = WriteLayer(link_, setup_, step.layer, 0);
        failed = step;
        return status == 0;
    });
    if (status == 0) return 0;
    const std::string where = Numbered("Process", p) + "  Layer: " + std::to_string(failed.top) +
                              "." + std::to_string(failed.member);
    // An instrument that stopped answering is not asked to empty the process.
    if (Lost(status, where)) return status;
    const ProcessRec kept = process;
    process.First_Layer = -1;
    process.Number_Layers = 0;
    process.Number_Act_Layers = 0;
    WriteProcess(link_, setup_, p, 0);
    process = kept;
    return Failed("Write", where, status);
}

}  // namespace delvar::transfer
