// The whole of one database file copied into another through SQLite's online backup,
// in one write transaction on the target. The target is locked as any SQLite writer
// locks it (waiting a few seconds for other users of the file), a hot journal left
// there by a writer that crashed is rolled back before anything is written, a crash
// during the copy is undone by the target's own journal, and a symbolic link is
// followed to the file it names. A missing or empty target is created.
#pragma once

#include <functional>
#include <string>

namespace delvar::setup {

// The target stayed locked by another program for the whole busy timeout.
inline constexpr long kErrFileInUse = 3045;

struct CopyOptions {
    int busyTimeoutMs = 5000;
    // Test hooks: pages copied per step (-1: all in one), the target's page cache
    // (0: SQLite's default), and a call after each step but the last.
    int pagesPerStep = -1;
    int targetCachePages = 0;
    std::function<void()> afterStep;
};

// Throws DbError (kErrFileInUse when the target is locked); the target is then as
// it was.
void CopyDatabaseInto(const std::string& target, const std::string& source,
                      const CopyOptions& options = {});

}  // namespace delvar::setup
