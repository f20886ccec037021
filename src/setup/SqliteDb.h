// A thin owner of one SQLite connection and its prepared statements. Every failure
// is thrown as a DbError carrying an error number and a readable text, so the
// database module can report it and end the operation in one place.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace delvar::setup {

class DbError : public std::runtime_error {
  public:
    DbError(long number, const std::string& what) : std::runtime_error(what), number_(number) {}
    long Number() const { return number_; }

  private:
    long number_;
};

// Error numbers for faults found in the data rather than by the engine.
inline constexpr long kErrOverflow = 6;
inline constexpr long kErrTypeMismatch = 13;
inline constexpr long kErrFileNotFound = 53;
inline constexpr long kErrNoCurrentRecord = 3021;
inline constexpr long kErrItemNotFound = 3265;  // a column or table the file lacks
inline constexpr long kErrInjected = 32001;     // failure injected by a test

class SqliteDb;

// One prepared statement. Columns of a result row are looked up by name without
// regard to case; parameters are bound by position from 1.
class Statement {
  public:
    Statement(SqliteDb& db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;

    void BindNull(int index);
    void BindInt(int index, std::int64_t value);
    void BindDouble(int index, double value);
    void BindText(int index, const std::string& value);
    // Runs to the next row: true when one is there, false at the end.
    bool Step();
    // Steps once and expects no row (for INSERT and UPDATE).
    void Run();
    // Rewinds for another run; the bindings are cleared.
    void Reset();

    int ColumnCount() const;
    std::string ColumnName(int column) const;
    // Index of the result column called name, -1 when there is none.
    int FindColumn(const std::string& name) const;
    bool IsNull(int column) const;
    bool IsText(int column) const;
    bool IsBlob(int column) const;
    bool IsInteger(int column) const;
    std::int64_t Int(int column) const;
    double Double(int column) const;
    std::string Text(int column) const;

  private:
    SqliteDb& db_;
    sqlite3_stmt* stmt_ = nullptr;
    std::unordered_map<std::string, int> columns_;  // upper-case name -> first index
};

class SqliteDb {
  public:
    // Opens an existing file for reading and writing; never creates one.
    explicit SqliteDb(const std::string& path);
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    void Exec(const std::string& sql);
    void Begin();
    void Commit();
    void Rollback() noexcept;
    void Close();
    bool TableExists(const std::string& table);
    std::vector<std::string> TableColumns(const std::string& table);
    std::int64_t RowCount(const std::string& table);
    // Rows changed by the last INSERT or UPDATE.
    int Changes() const;

    // Fault injection for tests: the statement run after `count` further successful
    // ones fails with kErrInjected. Empty: never.
    void FailAfter(std::optional<long> count) { failAfter_ = count; }

    sqlite3* Handle() const { return db_; }
    [[noreturn]] void Throw(int code, const std::string& context) const;
    // Counts one statement run and throws when an injected failure is due.
    void CountStatement();

  private:
    sqlite3* db_ = nullptr;
    std::optional<long> failAfter_;
};

// "name" with quotes doubled: safe as an SQL identifier.
std::string QuoteIdent(const std::string& name);

}  // namespace delvar::setup
