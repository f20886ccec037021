#include "setup/DbTables.h"

#include <sqlite3.h>

#include <filesystem>
#include <set>

#include "util/Text.h"

namespace delvar::setup {

const std::array<TableDesc, 12>& RecordViews() {
    static const std::array<TableDesc, 12> views = {{
        {"datProcess", "Processes", "Process_Number", 99, "Process Query", "intProcNum"},
        {"datLayer", "Layers", "Layer_Number", 999, "Layer Query", "intLayrNum"},
        {"datFilm", "Films", "Film_Number", 50, "Film Query", "intFilmNum"},
        {"datMaterial", "Materials", "MatNum", 100, "Material Query", "intMtrlNum"},
        {"datSystem", "System", "", 1, "System Query", ""},
        {"datInputs", "Inputs", "InputNum", 16, "Input Query", "intInNum"},
        {"datOutputs", "Outputs", "OutputNum", 16, "Output Query", "intOutNum"},
        {"datLogic", "Logic", "Number", 32, "Logic Query", "intLogicNum"},
        {"datSensors", "Sensors", "Number", 4, "Sensor Query", "intSensorNum"},
        {"datSources", "Sources", "Number", 4, "Source Query", "intSourceNum"},
        {"datInputsV9", "InputsV9", "Number", 16, "InputV9 Query", "intInputNum"},
        {"datRelaysV9", "RelaysV9", "Number", 16, "RelayV9 Query", "intRelayNum"},
    }};
    return views;
}

const TableDesc& ViewOf(const std::string& table) {
    for (const TableDesc& view : RecordViews())
        if (table == view.table) return view;
    throw DbError(kErrItemNotFound, "no record view for table " + table);
}

std::string QueryText(const TableDesc& view) {
    const std::string select = std::string("SELECT * FROM ") + view.table;
    if (!*view.param) return select;
    return std::string("PARAMETERS ") + view.param + " Integer;" + select + " WHERE " + view.key +
           "=" + view.param;
}

RowInserter::RowInserter(SqliteDb& db, const TableDesc& table,
                         const std::vector<std::string>& extraColumns)
    : hasKey_(*table.key != 0), statement_(db, InsertSql(table, extraColumns)) {}

std::string RowInserter::InsertSql(const TableDesc& table,
                                   const std::vector<std::string>& extraColumns) {
    std::vector<std::string> columns;
    if (*table.key) columns.push_back(table.key);
    columns.insert(columns.end(), extraColumns.begin(), extraColumns.end());
    if (columns.empty()) return "INSERT INTO " + QuoteIdent(table.table) + " DEFAULT VALUES";
    std::string names, marks;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        names += (i ? "," : "") + QuoteIdent(columns[i]);
        marks += (i ? ",?" : "?") + std::to_string(i + 1);
    }
    return "INSERT INTO " + QuoteIdent(table.table) + " (" + names + ") VALUES (" + marks + ")";
}

void RowInserter::Add(int number, const RowValues& extras) {
    int index = 1;
    if (hasKey_) statement_.BindInt(index++, number);
    for (const auto& [column, value] : extras) {
        if (const auto* text = std::get_if<std::string>(&value))
            statement_.BindText(index++, *text);
        else
            statement_.BindInt(index++, std::get<std::int64_t>(value));
    }
    statement_.Run();
}

namespace {
std::vector<std::string> ColumnsOf(const RowValues& values) {
    std::vector<std::string> columns;
    for (const auto& value : values) columns.push_back(value.first);
    return columns;
}
}  // namespace

void AddRow(SqliteDb& db, const TableDesc& table, int number, const RowValues& extras) {
    RowInserter(db, table, ColumnsOf(extras)).Add(number, extras);
}

void InitDBPointers(SqliteDb& db) {
    for (const TableDesc& view : RecordViews())
        if (!db.TableExists(view.table))
            throw DbError(kErrItemNotFound, std::string("the file has no table ") + view.table);
    db.Exec(
        "CREATE TABLE IF NOT EXISTS \"Queries\" (\"Name\" TEXT PRIMARY KEY COLLATE NOCASE, "
        "\"SQL\" TEXT)");
    std::set<std::string> stored;
    {
        Statement names(db, "SELECT \"Name\" FROM \"Queries\"");
        while (names.Step()) stored.insert(util::ToUpper(names.Text(0)));
    }
    Statement create(db, "INSERT INTO \"Queries\" (\"Name\", \"SQL\") VALUES (?1, ?2)");
    for (const TableDesc& view : RecordViews()) {
        if (stored.count(util::ToUpper(view.queryName))) continue;
        create.BindText(1, view.queryName);
        create.BindText(2, QueryText(view));
        create.Run();
    }
}

namespace {
// Values of a row added by FillDefaultRows, besides its key.
RowValues DefaultExtras(const TableDesc& table, int n) {
    const std::string name = table.table;
    if (name == "Processes") return {{"First_Layer", std::int64_t{-1}}};
    if (name == "Materials") return {{"Material", "Material " + std::to_string(n)}};
    if (name == "InputsV9") return {{"Name", "Input " + std::to_string(n)}};
    if (name == "RelaysV9") return {{"Name", "Relay " + std::to_string(n)}};
    return {};
}

constexpr const char* kFillOrder[] = {"Processes", "Layers",  "Films",    "Materials",
                                      "System",    "Outputs", "Inputs",   "Logic",
                                      "Sensors",   "Sources", "InputsV9", "RelaysV9"};
}  // namespace

void FillDefaultRows(SqliteDb& db) {
    for (const char* name : kFillOrder) {
        const TableDesc& table = ViewOf(name);
        const auto first = db.RowCount(table.table) + 1;
        if (first > table.rows) continue;
        RowInserter insert(db, table, ColumnsOf(DefaultExtras(table, 1)));
        for (auto n = first; n <= table.rows; ++n) insert.Add(int(n), DefaultExtras(table, int(n)));
    }
}

bool NotASetupDatabase(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    if (std::filesystem::file_size(path, error) == 0) return !error;
    // Read-only: judging a file never changes it.
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_stmt* query = nullptr;
    const int prepared = sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table'",
                                            -1, &query, nullptr);
    bool setupTable = false;
    int step = prepared;
    while (prepared == SQLITE_OK && !setupTable && (step = sqlite3_step(query)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
        const std::string name = text ? text : "";
        for (const TableDesc& view : RecordViews())
            setupTable = setupTable || util::ToUpper(name) == util::ToUpper(view.table);
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
    if (setupTable) return false;
    return step == SQLITE_DONE || (step & 0xff) == SQLITE_NOTADB;
}

std::string NotASetupDatabaseText(const std::string& path) {
    return "File " + path + " is not a setup database.";
}

}  // namespace delvar::setup
