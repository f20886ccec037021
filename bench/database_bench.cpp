// Setup database figures: DBOpen and DBSave of a full setup (every process with a
// chain of layers) in one transaction each, and the same save with every statement
// committed on its own, for comparison. Files live on the disk under /tmp; every
// commit is flushed (SQLite's default synchronous mode). Prints figures only.
#include <benchmark/benchmark.h>

#include "setup/DatabaseCopy.h"
#include "setup/DatabaseRig.h"
#include "setup/DbAccess.h"
#include "setup/FullSetup.h"
#include "setup/WorkFolder.h"

namespace {

using namespace delvar;
using namespace delvar::setup;

struct Bench {
    testing::DatabaseRig rig;
    std::string path = rig.Path("Bench.mdb");
    Bench() { testing::FillFullSetup(*rig.data); }
};

void BM_DBSave(benchmark::State& state) {
    Bench b;
    for (auto _ : state)
        if (!b.rig.db.DBSave(b.path)) state.SkipWithError("save failed");
}

void BM_DBOpen(benchmark::State& state) {
    Bench b;
    if (!b.rig.db.DBSave(b.path)) state.SkipWithError("save failed");
    for (auto _ : state)
        if (!b.rig.db.DBOpen(b.path)) state.SkipWithError("open failed");
}

template <class Rec, class TableT>
void WriteTable(SqliteDb& db, const TableT& table) {
    RecordAccess<Rec> access(db);
    for (int n = 1; n <= TableT::kSize; ++n) access.Write(n, table[n]);
}

void WriteRecords(SqliteDb& db, const SetupData& s);

// The save's statements with no enclosing transaction: one commit per row.
void SaveAutocommit(const SetupData& s, const std::string& path) {
    WorkFolder work;
    const std::string built = work.File("Save.mdb");
    std::filesystem::copy_file(DELVAR_BLANK_TEMPLATE, built);
    {
        SqliteDb db(built);
        FillDefaultRows(db);
        InitDBPointers(db);
        WriteRecords(db, s);
        db.Close();
    }
    CopyDatabaseInto(path, built);
}

void WriteRecords(SqliteDb& db, const SetupData& s) {
    RecordAccess<ProcessRec> processes(db);
    RecordAccess<LayerRec> layers(db);
    for (int p = 1; p <= kMaxProcesses; ++p) {
        processes.Write(p, s.processes[p]);
        for (int l : WalkProcess(s, p)) layers.Write(l, s.layers[l]);
    }
    WriteTable<FilmRec>(db, s.films);
    WriteTable<MaterialRec>(db, s.materials);
    RecordAccess<SystemRec>(db).Write(1, s.system);
    WriteTable<LogicRec>(db, s.logic);
    WriteTable<SensorRec>(db, s.sensors);
    WriteTable<SourceRec>(db, s.sources);
    WriteTable<InputRec>(db, s.inputs);
    WriteTable<RelayRec>(db, s.relays);
}

void BM_SaveAutocommitPerRow(benchmark::State& state) {
    Bench b;
    for (auto _ : state) SaveAutocommit(*b.rig.data, b.path);
}

BENCHMARK(BM_DBOpen)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DBSave)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveAutocommitPerRow)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
