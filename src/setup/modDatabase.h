// Opening a setup database file into SetupData and saving SetupData into one.
// An open reads every record in one transaction and adds the rows a file lacks; a
// save builds the new database from the blank template in a private work folder and
// then copies it into the file in one write transaction of the file's own (see
// DatabaseCopy.h), so other users of the file, a crash and a symbolic link are all
// dealt with by SQLite's locking and journal.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/CErrHandler.h"
#include "core/DialogService.h"
#include "setup/DatabaseCopy.h"
#include "setup/Progress.h"
#include "setup/SetupData.h"

namespace delvar::setup {

// Error number that ends an open or save without a message.
inline constexpr long kErrSilent = 32755;

// "700_Blank.mdb" for version 7.0.0.
std::string BlankTemplateName(int major, int minor, int revision);
// The blank template of this program version beside the running program.
std::string DefaultBlankTemplate();

struct DatabaseOptions {
    std::string blankTemplate;  // empty: DefaultBlankTemplate()
    int Debug = 0;              // 1: every open and save leaves a dump of the setup
    std::string dumpFolder;     // where the dumps go; empty: the working directory
    // Writes the dump of a setup to a file (the command layer's DumpSetup).
    std::function<void(const SetupData&, const std::string& file)> dumpSetup;
    // The version check run before an open: the path when the file may be opened,
    // "" otherwise. Empty: every file is accepted.
    std::function<std::string(const std::string& path)> versionCheck;
    // Where the private work folder of a save is made; empty: the system's temp folder.
    std::string tempFolder;
    // How the new database goes into the file (busy timeout, test hooks).
    CopyOptions copy;
    // Test hook: the statement after this many fails, as a fault in the middle of
    // an operation would.
    std::optional<long> failAfterStatements;
};

struct DatabaseServices {
    core::DialogService& dialogs;
    core::CErrHandler& errors;
    ProgressDisplay& progress;
};

class modDatabase {
  public:
    modDatabase(SetupData& setup, DatabaseServices services, DatabaseOptions options = {});

    // Replaces SetupData with the file's setup. False (CurrentDatabase empty) when the
    // file was refused or could not be read; the error has then been shown. A file
    // that is not a setup database is refused before anything reads or changes it.
    bool DBOpen(const std::string& path);
    // Replaces the content of the file at path (made when missing) with the whole of
    // SetupData. False when the save failed; the file at path is then as it was.
    bool DBSave(const std::string& path);

    const std::string& CurrentDatabase() const { return currentDatabase_; }
    // The file the setup in memory now belongs to, without reading it: the file a
    // Save As wrote, or the one current before a scratch file was opened.
    void MakeCurrent(const std::string& path) { currentDatabase_ = path; }
    // The record being read or written, as the error messages name it.
    const std::string& ItemText() const { return itemText_; }
    DatabaseOptions& Options() { return options_; }

  private:
    void ReadAll(const std::string& path);
    void WriteAll(const std::string& path);
    void Report(const std::string& what);
    void Dump(const char* fileName);
    // The file-name part of a path: the text after the last folder separator.
    static std::string FileName(const std::string& path);

    SetupData& setup_;
    DatabaseServices services_;
    DatabaseOptions options_;
    std::string currentDatabase_;
    std::string itemText_;
};

}  // namespace delvar::setup
