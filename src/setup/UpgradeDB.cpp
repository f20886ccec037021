#include "setup/UpgradeDB.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>

#include "setup/DatabaseCopy.h"
#include "setup/DbTables.h"
#include "setup/SqliteDb.h"
#include "setup/WorkFolder.h"

namespace delvar::setup {

namespace {

namespace fs = std::filesystem;

constexpr const char* kContact =
    "Please contact the maker of your Delvar instrument for upgrade information.";

// Tables an upgrade carries over, in order; the second group only from version 6.0 on.
constexpr std::array kBaseTables{"Processes", "Layers", "Films",  "Materials",
                                 "System",    "Inputs", "Outputs"};
constexpr std::array kV6Tables{"InputsV9", "RelaysV9", "Sensors", "Sources", "Logic"};

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

std::string FileName(const std::string& path) {
    return fs::path(path).filename().string();
}

float VersionValue(const std::string& text) {
    return std::strtof(text.c_str(), nullptr);
}

// The old file's rows go into the same table of the new file, column by column
// where both have the column (old layouts lack some of today's columns). A table of
// the old file that cannot be read ends the upgrade with its name.
void CopyTable(SqliteDb& target, const std::string& table) {
    if (!target.TableExists(table)) return;
    try {
        std::set<std::string> old;
        Statement columns(target, "SELECT name FROM pragma_table_info(?1, 'work')");
        columns.BindText(1, table);
        while (columns.Step()) old.insert(Upper(columns.Text(0)));
        if (old.empty()) return;  // the old file has no such table
        std::string list;
        for (const std::string& column : target.TableColumns(table)) {
            if (!old.count(Upper(column))) continue;
            if (!list.empty()) list += ", ";
            list += QuoteIdent(column);
        }
        if (list.empty()) return;
        target.Exec("INSERT INTO main." + QuoteIdent(table) + " (" + list + ") SELECT " + list +
                    " FROM work." + QuoteIdent(table));
    } catch (const DbError& error) {
        throw DbError(error.Number(),
                      "Table " + table + " of the file cannot be read: " + error.what());
    }
}

void MakeWritable(const std::string& path) {
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                    ignored);
}

// The upgraded database, built in the work folder from the template and the copy of
// the old file: its path.
std::string BuildUpgraded(const WorkFolder& work, const std::string& old,
                          const std::string& version, const UpgradeOptions& options) {
    const std::string built = work.File("Upgraded.mdb");
    fs::copy_file(options.blankTemplate, built);
    MakeWritable(built);
    const float fileValue = VersionValue(version);
    SqliteDb db(built);
    {
        Statement attach(db, "ATTACH DATABASE ?1 AS work");
        attach.BindText(1, old);
        attach.Run();
    }
    db.Begin();
    for (const char* table : kBaseTables) CopyTable(db, table);
    if (fileValue >= 6.0f) {
        for (const char* table : kV6Tables) CopyTable(db, table);
    }
    db.Commit();
    db.Exec("DETACH DATABASE work");
    const std::string& instrument = options.instrumentVersion;
    if (version == "1.00") {
        const std::string compact = work.File("Compact.mdb");
        {
            Statement vacuum(db, "VACUUM INTO ?1");
            vacuum.BindText(1, compact);
            vacuum.Run();
        }
        db.Close();
        SqliteDb compacted(compact);
        compacted.Begin();
        FillDefaultRows(compacted);
        compacted.Commit();
        compacted.Close();
        return compact;
    }
    if (version >= "1.01" && version <= "1.08" && instrument.size() > 3 &&
        VersionValue(instrument.substr(instrument.size() - 4)) >= 4.13f)
        db.Exec("UPDATE Inputs SET \"Input Type\" = 46");
    db.Close();
    return built;
}

}  // namespace

std::string GetDBProperty(const std::string& path, const std::string& name) {
    try {
        if (!fs::exists(path)) return {};
        SqliteDb db(path);
        if (!db.TableExists("Properties")) return {};
        Statement read(db, "SELECT Value FROM Properties WHERE Name = ?1 COLLATE NOCASE");
        read.BindText(1, name);
        return read.Step() && !read.IsNull(0) ? read.Text(0) : std::string();
    } catch (const std::exception&) {
        return {};  // errors are passed over: no property
    }
}

std::string UpgradeBackupPath(const std::string& path, const std::string& versionProperty) {
    if (path.size() < 4) return {};
    std::string digits = versionProperty;
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    const std::string tag =
        versionProperty.empty() || VersionValue(versionProperty) == 0 ? "_100" : "_" + digits;
    return path.substr(0, path.size() - 4) + tag + path.substr(path.size() - 4);
}

std::string UpgradeDB(const std::string& path, core::DialogService& dialogs,
                      core::CErrHandler& errors, const UpgradeOptions& options) {
    core::ProcGuard guard(errors, "UpgradeDB");
    const auto exclamation = [&](const std::string& text) {
        dialogs.ShowMessage({text, options.title, core::MessageIcon::Exclamation});
    };
    if (Upper(FileName(path)) == Upper(FileName(options.blankTemplate))) {
        exclamation("File " + FileName(path) + " is a blank database reserved for upgrades.\r\n" +
                    "Select another database.");
        return {};
    }
    if (NotASetupDatabase(path)) {
        exclamation(NotASetupDatabaseText(path));
        return {};
    }
    std::optional<WorkFolder> work;
    std::string original;  // this very file as it was at the start of this attempt
    bool fileChanging = false;
    try {
        if (!fs::exists(path)) throw DbError(kErrFileNotFound, "File not found: " + path);
        const std::string property = [&] {
            SqliteDb db(path);
            db.RowCount("sqlite_master");  // fails on a file that is not a database
            db.Close();
            return GetDBProperty(path, "Version");
        }();
        const std::string version =
            property.empty() || VersionValue(property) == 0 ? "1.00" : property;
        const float fileValue = VersionValue(version);
        const float programValue = VersionValue(options.programVersion);
        if (fileValue == programValue) return path;
        if (programValue < fileValue) {
            // Refused, not fatal: the setup in memory may hold unsaved work.
            exclamation("Database " + path + " is version " + version + "\r\n" +
                        "Your Delvar program is only version " + options.programVersion + "\r\n" +
                        kContact);
            return {};
        }
        if (fileValue >= float(options.programMajor)) return path;

        if (GetDBProperty(options.blankTemplate, "Version") != options.programVersion) {
            exclamation(" A file needed to upgrade your database to Ver. " +
                        options.programVersion + " is not available\r\n" + kContact + "\r\n");
            return {};
        }
        // The first backup of a file of this version is kept for good; the restore
        // after a failure uses the copy made now, which is surely of this file.
        const std::string backup = UpgradeBackupPath(path, property);
        if (!backup.empty() && !fs::exists(backup)) fs::copy_file(path, backup);
        work.emplace(options.tempFolder);
        original = work->File("Work.mdb");
        fs::copy_file(path, original);
        const std::string upgraded = BuildUpgraded(*work, original, version, options);
        // Until here the file is untouched; the copy into it is one transaction.
        fileChanging = true;
        CopyDatabaseInto(path, upgraded, options.copy);
        return path;
    } catch (const std::exception& error) {
        const auto* db = dynamic_cast<const DbError*>(&error);
        std::string text = "Pre V2.00 database can't be upgraded to version " +
                           options.programVersion + "\r\n" + kContact + "\r\n" + error.what();
        if (fileChanging) {
            try {
                CopyDatabaseInto(path, original, options.copy);
            } catch (const std::exception&) {
                // The copy is all that is left of the file: it stays where it is.
                work->Keep();
                text += "\r\nThe file could not be restored; its copy is " + original;
            }
        }
        dialogs.ShowMessage({text, options.title, core::MessageIcon::Critical});
        errors.HandleError(
            core::ErrorInfo::From(error, db ? std::optional<long>(db->Number()) : std::nullopt));
        return {};
    }
}

}  // namespace delvar::setup
