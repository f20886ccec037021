#include "setup/DatabaseCopy.h"

#include <sqlite3.h>

#include "setup/SqliteDb.h"

namespace delvar::setup {

namespace {

// One connection, closed on every way out.
struct Connection {
    sqlite3* db = nullptr;
    Connection(const std::string& path, int flags) {
        const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
        if (rc != SQLITE_OK) Fail(rc, path);
        sqlite3_extended_result_codes(db, 1);
    }
    ~Connection() { sqlite3_close(db); }
    [[noreturn]] void Fail(int rc, const std::string& path) const {
        const std::string text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
            throw DbError(kErrFileInUse, path + " is in use by another program (" + text + ")");
        throw DbError(rc & 0xff, text + ": " + path);
    }
};

}  // namespace

void CopyDatabaseInto(const std::string& target, const std::string& source,
                      const CopyOptions& options) {
    Connection from(source, SQLITE_OPEN_READONLY);
    Connection to(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_busy_timeout(to.db, options.busyTimeoutMs);
    if (options.targetCachePages > 0) {
        const std::string pragma = "PRAGMA cache_size=" + std::to_string(options.targetCachePages);
        sqlite3_exec(to.db, pragma.c_str(), nullptr, nullptr, nullptr);
    }
    sqlite3_backup* backup = sqlite3_backup_init(to.db, "main", from.db, "main");
    if (!backup) to.Fail(sqlite3_errcode(to.db), target);
    int rc = SQLITE_OK;
    while ((rc = sqlite3_backup_step(backup, options.pagesPerStep)) == SQLITE_OK)
        if (options.afterStep) options.afterStep();
    // Finishing an unfinished copy rolls the target's transaction back.
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) to.Fail(rc, target);
    if (finished != SQLITE_OK) to.Fail(finished, target);
}

}  // namespace delvar::setup
