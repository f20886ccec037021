#include "setup/SqliteDb.h"

#include <sqlite3.h>

#include <utility>

#include "util/Text.h"

namespace delvar::setup {

std::string QuoteIdent(const std::string& name) {
    return "\"" + util::ReplaceChar(name, '"', "\"\"") + "\"";
}

SqliteDb::SqliteDb(const std::string& path) {
    int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError(rc, message + ": " + path);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 2000);
}

SqliteDb::~SqliteDb() {
    Rollback();
    sqlite3_close(db_);
}

void SqliteDb::Close() {
    if (db_ && sqlite3_close(db_) != SQLITE_OK) Throw(sqlite3_errcode(db_), "close");
    db_ = nullptr;
}

void SqliteDb::Throw(int code, const std::string& context) const {
    std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    throw DbError(code & 0xff, message + " (" + context + ")");
}

void SqliteDb::CountStatement() {
    if (!failAfter_) return;
    if (*failAfter_ <= 0) throw DbError(kErrInjected, "injected failure");
    --*failAfter_;
}

void SqliteDb::Exec(const std::string& sql) {
    CountStatement();
    char* error = nullptr;
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        throw DbError(rc & 0xff, message + " (" + sql + ")");
    }
}

void SqliteDb::Begin() {
    Exec("BEGIN IMMEDIATE");
}

void SqliteDb::Commit() {
    Exec("COMMIT");
}

void SqliteDb::Rollback() noexcept {
    if (db_ && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

int SqliteDb::Changes() const {
    return sqlite3_changes(db_);
}

bool SqliteDb::TableExists(const std::string& table) {
    Statement query(*this,
                    "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE");
    query.BindText(1, table);
    return query.Step();
}

std::vector<std::string> SqliteDb::TableColumns(const std::string& table) {
    Statement query(*this, "SELECT name FROM pragma_table_info(?1)");
    query.BindText(1, table);
    std::vector<std::string> names;
    while (query.Step()) names.push_back(query.Text(0));
    return names;
}

std::int64_t SqliteDb::RowCount(const std::string& table) {
    Statement query(*this, "SELECT COUNT(*) FROM " + QuoteIdent(table));
    query.Step();
    return query.Int(0);
}

Statement::Statement(SqliteDb& db, const std::string& sql) : db_(db) {
    int rc = sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        // A table or column the file lacks shows as a missing item, like any lookup.
        std::string message = sqlite3_errmsg(db.Handle());
        if ((rc & 0xff) == SQLITE_ERROR)
            throw DbError(kErrItemNotFound, message + " (" + sql + ")");
        db.Throw(rc, sql);
    }
    for (int c = ColumnCount() - 1; c >= 0; --c) columns_[util::ToUpper(ColumnName(c))] = c;
}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_),
      stmt_(std::exchange(other.stmt_, nullptr)),
      columns_(std::move(other.columns_)) {}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::BindNull(int index) {
    sqlite3_bind_null(stmt_, index);
}
void Statement::BindInt(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
}
void Statement::BindDouble(int index, double value) {
    sqlite3_bind_double(stmt_, index, value);
}
void Statement::BindText(int index, const std::string& value) {
    sqlite3_bind_text(stmt_, index, value.data(), int(value.size()), SQLITE_TRANSIENT);
}

bool Statement::Step() {
    db_.CountStatement();
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    std::string sql = sqlite3_sql(stmt_) ? sqlite3_sql(stmt_) : "";
    sqlite3_reset(stmt_);
    db_.Throw(rc, sql);
}

void Statement::Run() {
    Step();
    Reset();
}

void Statement::Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::ColumnCount() const {
    return sqlite3_column_count(stmt_);
}

std::string Statement::ColumnName(int column) const {
    const char* name = sqlite3_column_name(stmt_, column);
    return name ? name : "";
}

int Statement::FindColumn(const std::string& name) const {
    auto found = columns_.find(util::ToUpper(name));
    return found == columns_.end() ? -1 : found->second;
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}
bool Statement::IsText(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_TEXT;
}
bool Statement::IsBlob(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_BLOB;
}
bool Statement::IsInteger(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_INTEGER;
}
std::int64_t Statement::Int(int column) const {
    return sqlite3_column_int64(stmt_, column);
}
double Statement::Double(int column) const {
    return sqlite3_column_double(stmt_, column);
}
std::string Statement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? std::string(text, std::size_t(sqlite3_column_bytes(stmt_, column))) : "";
}

}  // namespace delvar::setup
