#include "platform/SqliteErrorRecordSet.h"

#include <sqlite3.h>

namespace delvar::platform {

SqliteErrorRecordSet::SqliteErrorRecordSet(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK ||
        sqlite3_exec(db_,
                     "CREATE TABLE IF NOT EXISTS Errors (ErrorDate TEXT, ErrorString TEXT, "
                     "ErrorNumber INTEGER, ErrorLine INTEGER, ErrorProc TEXT, CallStack TEXT, "
                     "AdditionalInfo TEXT)",
                     nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

SqliteErrorRecordSet::~SqliteErrorRecordSet() {
    sqlite3_close(db_);
}

bool SqliteErrorRecordSet::AddRecord(const core::ErrorRecord& r) {
    if (!db_) return false;
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db_,
                           "INSERT INTO Errors (ErrorDate, ErrorString, ErrorNumber, ErrorLine, "
                           "ErrorProc, CallStack, AdditionalInfo) VALUES (?,?,?,?,?,?,?)",
                           -1, &insert, nullptr) != SQLITE_OK)
        return false;
    sqlite3_bind_text(insert, 1, r.ErrorDate.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 2, r.ErrorString.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(insert, 3, r.ErrorNumber);
    sqlite3_bind_int64(insert, 4, r.ErrorLine);
    sqlite3_bind_text(insert, 5, r.ErrorProc.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 6, r.CallStack.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 7, r.AdditionalInfo.c_str(), -1, SQLITE_TRANSIENT);
    bool ok = sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_finalize(insert);
    return ok;
}

bool SqliteErrorRecordSet::DeleteAll() {
    return db_ && sqlite3_exec(db_, "DELETE FROM Errors", nullptr, nullptr, nullptr) == SQLITE_OK;
}

long SqliteErrorRecordSet::Count() {
    if (!db_) return 0;
    sqlite3_stmt* count = nullptr;
    long rows = 0;
    if (sqlite3_prepare_v2(db_, "SELECT COUNT(*) FROM Errors", -1, &count, nullptr) == SQLITE_OK &&
        sqlite3_step(count) == SQLITE_ROW)
        rows = static_cast<long>(sqlite3_column_int64(count, 0));
    sqlite3_finalize(count);
    return rows;
}

}  // namespace delvar::platform
