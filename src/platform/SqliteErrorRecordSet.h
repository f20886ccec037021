// Error reports as rows of an "Errors" table in an SQLite file.
#pragma once

#include <string>

#include "core/ErrorRecordSet.h"

struct sqlite3;

namespace delvar::platform {

class SqliteErrorRecordSet final : public core::ErrorRecordSet {
  public:
    // Opens (or creates) the file and the table; Ok() tells whether that worked.
    explicit SqliteErrorRecordSet(const std::string& path);
    ~SqliteErrorRecordSet() override;
    SqliteErrorRecordSet(const SqliteErrorRecordSet&) = delete;
    SqliteErrorRecordSet& operator=(const SqliteErrorRecordSet&) = delete;

    bool Ok() const { return db_ != nullptr; }
    bool AddRecord(const core::ErrorRecord& record) override;
    bool DeleteAll() override;
    long Count() override;

  private:
    sqlite3* db_ = nullptr;
};

}  // namespace delvar::platform
