#include "setup/modDatabase.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "setup/DbAccess.h"
#include "setup/DbTables.h"
#include "setup/LayerChains.h"

namespace delvar::setup {

namespace {
namespace fs = std::filesystem;

// A read-only file is made writable, as the open adds missing rows.
void ClearReadOnly(const std::string& path) {
    std::error_code ignored;
    const auto status = fs::status(path, ignored);
    if (!ignored && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ignored);
}

std::string Numbered(const char* kind, int n) {
    return std::string(kind) + " " + std::to_string(n);
}

RowValues NameExtra(const char* column, const std::string& name) {
    return {{column, name}};
}

RowValues EmptyStatement() {
    RowValues values = {{"Name", std::string("<Empty>")}};
    for (int k = 1; k <= kLogicTerms; ++k)
        values.push_back({"IF" + std::to_string(k), std::int64_t{0}});
    values.push_back({"THEN", std::int64_t{0}});
    return values;
}

// Reads every record of the open file into setup, adding the rows it lacks.
class SetupReader {
  public:
    SetupReader(SqliteDb& db, SetupData& setup, std::string& item, ProgressDisplay& progress)
        : db_(db), setup_(setup), item_(item), progress_(progress) {}

    void ReadAll() {
        ReadProcesses();
        AddMissingLayers();
        ReadFilms();
        ReadMaterials();
        item_ = "System";
        RecordAccess<SystemRec>(db_).ReadOrAdd(1, setup_.system, {});
        ReadLogic();
        ReadNumbered<SensorRec>(setup_.sensors, "Sensor", nullptr);
        ReadNumbered<SourceRec>(setup_.sources, "Source", nullptr);
        ReadNumbered<InputRec>(setup_.inputs, "Input", "Name");
        ReadNumbered<RelayRec>(setup_.relays, "Relay", "Name");
    }

  private:
    void ReadProcesses() {
        RecordAccess<ProcessRec> processes(db_);
        RecordAccess<LayerRec> layers(db_);
        for (int p = 1; p <= kMaxProcesses; ++p) {
            item_ = Numbered("Process", p);
            ProcessRec& process = setup_.processes[p];
            processes.ReadOrAdd(p, process, {{"First_Layer", std::int64_t{-1}}});
            ReadChain(layers, p, process);
            progress_.Update("Reading Process " + std::to_string(p) + ":", process.Process_Name,
                             p * 40 / kMaxProcesses);
        }
    }

    // The process's layers, each read from its row before its links are followed.
    void ReadChain(RecordAccess<LayerRec>& layers, int p, const ProcessRec&) {
        WalkChain(setup_, p, WalkLength::Recorded, [&](const ChainStep& step) {
            item_ = "Process " + std::to_string(p) + " Layer " + std::to_string(step.layer);
            LayerRec& layer = setup_.layers[step.layer];
            layer.Layer_Deleted = 0;
            layers.ReadOrAdd(step.layer, layer, {});
            return true;
        });
    }

    // Layers outside every chain are not read; their rows are only made complete.
    void AddMissingLayers() {
        RecordAccess<LayerRec> layers(db_);
        for (int l = 1; l <= kMaxLayers; ++l) {
            item_ = Numbered("Layer", l);
            layers.AddIfMissing(l, {});
        }
    }

    void ReadFilms() {
        RecordAccess<FilmRec> films(db_);
        for (int f = 1; f <= kMaxFilms; ++f) {
            item_ = Numbered("Film", f);
            FilmRec& film = setup_.films[f];
            films.ReadOrAdd(f, film, NameExtra("Film_Name", Numbered("Film", f)));
            progress_.Update("Reading Film " + std::to_string(f) + ":", film.Film_Name,
                             40 + f * 20 / kMaxFilms);
        }
    }

    void ReadMaterials() {
        RecordAccess<MaterialRec> materials(db_);
        for (int m = 1; m <= kMaxMaterials; ++m) {
            item_ = Numbered("Material", m);
            MaterialRec& material = setup_.materials[m];
            materials.ReadOrAdd(m, material, {});
            progress_.Update("Reading Material " + std::to_string(m) + ":", material.Material,
                             60 + m * 20 / kMaxMaterials);
        }
    }

    void ReadLogic() {
        RecordAccess<LogicRec> logic(db_);
        for (int s = 1; s <= kMaxLogic; ++s) {
            item_ = Numbered("Statement", s);
            logic.ReadOrAdd(s, setup_.logic[s], EmptyStatement());
        }
    }

    // Sensors, sources, inputs and relays: rows added with their number, and with
    // the numbered name when nameColumn is given.
    template <class Rec, class TableT>
    void ReadNumbered(TableT& table, const char* kind, const char* nameColumn) {
        RecordAccess<Rec> access(db_);
        for (int n = 1; n <= TableT::kSize; ++n) {
            item_ = Numbered(kind, n);
            access.ReadOrAdd(n, table[n], nameColumn ? NameExtra(nameColumn, item_) : RowValues{});
        }
    }

    SqliteDb& db_;
    SetupData& setup_;
    std::string& item_;
    ProgressDisplay& progress_;
};
}  // namespace

std::string modDatabase::FileName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string BlankTemplateName(int major, int minor, int revision) {
    return std::to_string(major) + std::to_string(minor) + std::to_string(revision) + "_Blank.mdb";
}

std::string DefaultBlankTemplate() {
    const std::string folder = core::DataFolder();
    const std::string name = core::BlankTemplateFileName();
    return folder.empty() ? name : (fs::path(folder) / name).string();
}

modDatabase::modDatabase(SetupData& setup, DatabaseServices services, DatabaseOptions options)
    : setup_(setup), services_(services), options_(std::move(options)) {}

void modDatabase::Dump(const char* fileName) {
    if (options_.Debug != 1 || !options_.dumpSetup) return;
    const fs::path folder =
        options_.dumpFolder.empty() ? fs::path(".") : fs::path(options_.dumpFolder);
    options_.dumpSetup(setup_, (folder / fileName).string());
}

void modDatabase::Report(const std::string& what) {
    core::ErrorInfo error;
    try {
        throw;
    } catch (const DbError& e) {
        error = {e.Number(), e.what(), 0};
    } catch (...) {
        error = core::ErrorInfo::FromCurrentException();
    }
    if (error.number == kErrSilent) return;
    services_.dialogs.ShowMessage(
        {what + itemText_, "", core::MessageIcon::None, core::MessageButtons::Ok});
    services_.errors.HandleError(error);
}

bool modDatabase::DBOpen(const std::string& path) {
    core::ProcGuard guard(services_.errors, "modDatabase_DBOpen");
    itemText_.clear();
    bool opened = false;
    if (NotASetupDatabase(path)) {
        services_.dialogs.ShowMessage(
            {NotASetupDatabaseText(path), "", core::MessageIcon::Exclamation});
    } else if (!options_.versionCheck || options_.versionCheck(path) == path) {
        services_.progress.Show("Open Database", "Opening database:", FileName(path), 0);
        try {
            ReadAll(path);
            opened = true;
        } catch (...) {
            Report("Error opening ");
        }
        services_.progress.Close();
    }
    currentDatabase_ = opened ? path : "";
    try {
        Dump("DBOpen.txt");
    } catch (...) {
        Report("Error opening ");
    }
    return opened;
}

void modDatabase::ReadAll(const std::string& path) {
    ClearReadOnly(path);
    ResetSetupData(setup_);
    SqliteDb db(path);
    db.FailAfter(options_.failAfterStatements);
    db.Begin();
    InitDBPointers(db);
    SetupReader(db, setup_, itemText_, services_.progress).ReadAll();
    db.Commit();
    db.Close();
}

}  // namespace delvar::setup
