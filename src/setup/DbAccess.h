// Record access by number through prepared statements: the first row whose key is
// the number is read into, or written from, the record of that number.
#pragma once

#include <optional>
#include <string>

#include "setup/DbColumns.h"
#include "setup/DbRules.h"
#include "setup/DbTables.h"
#include "setup/SqliteDb.h"

namespace delvar::setup {

template <class Rec>
class RecordAccess {
  public:
    explicit RecordAccess(SqliteDb& db)
        : db_(db), table_(ViewOf(TableOf<Rec>())), select_(db, SelectSql()) {}

    // Reads row `number` into record and applies the reading rules; false (record
    // untouched) when the table has no such row.
    bool Read(int number, Rec& record) {
        select_.Reset();
        if (*table_.key) select_.BindInt(1, number);
        const bool found = select_.Step();
        if (found) {
            ReadColumns(select_, record);
            AfterRead(record);
        }
        select_.Reset();
        return found;
    }

    bool Exists(int number) {
        select_.Reset();
        if (*table_.key) select_.BindInt(1, number);
        const bool found = select_.Step();
        select_.Reset();
        return found;
    }

    void AddIfMissing(int number, const RowValues& extras) {
        if (!Exists(number)) AddRow(db_, table_, number, extras);
    }

    // Read, adding the row first (key and extras) when it is missing.
    void ReadOrAdd(int number, Rec& record, const RowValues& extras) {
        if (Read(number, record)) return;
        AddRow(db_, table_, number, extras);
        if (!Read(number, record)) throw DbError(kErrNoCurrentRecord, "No current record");
    }

    // Writes record in its stored form into row `number`, which must exist.
    void Write(int number, const Rec& record) {
        if (!update_) update_.emplace(db_, UpdateSql<Rec>());
        update_->Reset();
        BindColumns(*update_, Stored(record), number);
        update_->Run();
        if (db_.Changes() != 1) throw DbError(kErrNoCurrentRecord, "No current record");
    }

  private:
    std::string SelectSql() const {
        std::string sql = "SELECT * FROM " + QuoteIdent(table_.table);
        if (*table_.key) sql += " WHERE " + QuoteIdent(table_.key) + "=?1";
        return sql + " ORDER BY rowid LIMIT 1";
    }

    SqliteDb& db_;
    const TableDesc& table_;
    Statement select_;
    std::optional<Statement> update_;
};

}  // namespace delvar::setup
