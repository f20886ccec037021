// The tables of a setup database file: key column, full row count and the named
// query each record view runs, as one table of data; and the two preparations every
// open and save makes on a file (the stored queries, the full set of rows).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "setup/SqliteDb.h"

namespace delvar::setup {

struct TableDesc {
    const char* view;  // the record view bound to the table
    const char* table;
    const char* key;        // "" for the one-row System table
    int rows;               // full row count, numbered 1..rows
    const char* queryName;  // query stored in the file
    const char* param;      // query parameter, "" for none
};

// The twelve record views in their order.
const std::array<TableDesc, 12>& RecordViews();
const TableDesc& ViewOf(const std::string& table);

// The stored text of a view's query: the parameter clause followed directly by the
// select text ("PARAMETERS intProcNum Integer;SELECT * FROM Processes WHERE ...").
std::string QueryText(const TableDesc& view);

// Column values of a row being added, besides its key.
using RowValue = std::variant<std::int64_t, std::string>;
using RowValues = std::vector<std::pair<std::string, RowValue>>;

// Adds rows with their key (when the table has one) and the given extra columns,
// through one prepared statement.
class RowInserter {
  public:
    RowInserter(SqliteDb& db, const TableDesc& table, const std::vector<std::string>& extraColumns);
    // extras must name the columns given at construction, in that order.
    void Add(int number, const RowValues& extras);

  private:
    static std::string InsertSql(const TableDesc& table,
                                 const std::vector<std::string>& extraColumns);
    bool hasKey_;
    Statement statement_;
};

// Adds row `number` to the table: its key (when the table has one) and extras.
void AddRow(SqliteDb& db, const TableDesc& table, int number, const RowValues& extras);

// Checks that the file has all twelve tables and stores each named query that is
// missing from it. Throws DbError (kErrItemNotFound) naming a missing table.
void InitDBPointers(SqliteDb& db);

// Tops every table up to its full row count: a table with C rows gains rows
// C + 1 .. full count, each with its key and the extras of the table.
void FillDefaultRows(SqliteDb& db);

// True only for a file that is there and cannot be a setup database: an empty file,
// a file that is not an SQLite database, or one with none of the setup tables. A
// file that cannot be read for another reason is not judged here; its open reports it.
bool NotASetupDatabase(const std::string& path);
// The message that refuses such a file.
std::string NotASetupDatabaseText(const std::string& path);

}  // namespace delvar::setup
