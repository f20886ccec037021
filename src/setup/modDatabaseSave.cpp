// The save half of modDatabase: the whole setup into a fresh copy of the blank
// template in a private work folder, then copied into the file at the path.
#include <filesystem>

#include "setup/DbAccess.h"
#include "setup/DbTables.h"
#include "setup/LayerChains.h"
#include "setup/WorkFolder.h"
#include "setup/modDatabase.h"

namespace delvar::setup {

namespace {

std::string Numbered(const char* kind, int n) {
    return std::string(kind) + " " + std::to_string(n);
}

class SetupWriter {
  public:
    SetupWriter(SqliteDb& db, const SetupData& setup, std::string& item, ProgressDisplay& progress)
        : db_(db), setup_(setup), item_(item), progress_(progress) {}

    void WriteAll() {
        WriteProcesses();
        WriteNumbered<FilmRec>(setup_.films, "Film", [&](int f) {
            progress_.Update("Saving Film " + std::to_string(f) + ":", setup_.films[f].Film_Name,
                             40 + f * 20 / kMaxFilms);
        });
        WriteNumbered<MaterialRec>(setup_.materials, "Material", [&](int m) {
            progress_.Update("Saving Material " + std::to_string(m) + ":",
                             setup_.materials[m].Material, 60 + m * 20 / kMaxMaterials);
        });
        item_ = "System";
        RecordAccess<SystemRec>(db_).Write(1, setup_.system);
        WriteNumbered<LogicRec>(setup_.logic, "Statement");
        WriteNumbered<SensorRec>(setup_.sensors, "Sensor");
        WriteNumbered<SourceRec>(setup_.sources, "Source");
        WriteNumbered<InputRec>(setup_.inputs, "Input");
        WriteNumbered<RelayRec>(setup_.relays, "Relay");
    }

  private:
    // Each process and the layers of its chain; layers outside every chain keep the
    // default rows of the new file.
    void WriteProcesses() {
        RecordAccess<ProcessRec> processes(db_);
        RecordAccess<LayerRec> layers(db_);
        for (int p = 1; p <= kMaxProcesses; ++p) {
            item_ = Numbered("Process", p);
            const ProcessRec& process = setup_.processes[p];
            processes.Write(p, process);
            for (int l : WalkProcess(setup_, p)) {
                item_ = "Process " + std::to_string(p) + " Layer " + std::to_string(l);
                layers.Write(l, setup_.layers[l]);
            }
            progress_.Update("Saving Process " + std::to_string(p) + ":", process.Process_Name,
                             p * 40 / kMaxProcesses);
        }
    }

    template <class Rec, class TableT, class After = void (*)(int)>
    void WriteNumbered(
        const TableT& table, const char* kind, After after = [](int) {}) {
        RecordAccess<Rec> access(db_);
        for (int n = 1; n <= TableT::kSize; ++n) {
            item_ = Numbered(kind, n);
            access.Write(n, table[n]);
            after(n);
        }
    }

    SqliteDb& db_;
    const SetupData& setup_;
    std::string& item_;
    ProgressDisplay& progress_;
};

}  // namespace

bool modDatabase::DBSave(const std::string& path) {
    core::ProcGuard guard(services_.errors, "modDatabase_DBSave");
    itemText_.clear();
    services_.progress.Show("Save To Database", "Saving Database:", "Create file " + FileName(path),
                            0);
    bool saved = false;
    try {
        WriteAll(path);
        saved = true;
    } catch (...) {
        Report("Error saving ");
    }
    services_.progress.Close();
    return saved;
}

void modDatabase::WriteAll(const std::string& path) {
    const std::string blank =
        options_.blankTemplate.empty() ? DefaultBlankTemplate() : options_.blankTemplate;
    WorkFolder work(options_.tempFolder);
    const std::string built = work.File("Save.mdb");
    std::filesystem::copy_file(blank, built);
    std::filesystem::permissions(built, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    {
        SqliteDb db(built);
        db.Exec("PRAGMA synchronous=OFF");  // a crash loses only the work copy
        db.FailAfter(options_.failAfterStatements);
        db.Begin();
        FillDefaultRows(db);
        Dump("DBSave.txt");
        services_.progress.Update("Saving Database:", "Save Data", 0);
        InitDBPointers(db);
        SetupWriter(db, setup_, itemText_, services_.progress).WriteAll();
        db.Commit();
        db.Close();
    }
    itemText_ = FileName(path);
    try {
        CopyDatabaseInto(path, built, options_.copy);
    } catch (const DbError& error) {
        if (error.Number() == kErrFileInUse)
            itemText_ += ": the file is in use by another program.";
        throw;
    }
}

}  // namespace delvar::setup
