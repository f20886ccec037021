// The version check run before a setup database is opened, and the upgrade of a file
// made by an older program into the current layout (its tables poured into a fresh
// copy of the blank template, with a backup of the old file made once). The upgraded
// database is built in a private work folder from a copy of the file and copied into
// the file in one transaction; a failure leaves the file as it was.
#pragma once

#include <string>

#include "core/CErrHandler.h"
#include "core/DialogService.h"
#include "setup/DatabaseCopy.h"

namespace delvar::setup {

struct UpgradeOptions {
    std::string blankTemplate;            // the template of this program version
    std::string programVersion = "7.00";  // major "." minor revision
    int programMajor = 7;
    std::string instrumentVersion;  // the connected instrument's version text, if any
    std::string tempFolder;         // where the private work folder is made; "": the system's
    CopyOptions copy;               // how the upgraded database goes into the file
    std::string title = "Delvar Comm";
};

// The "Version" property of a database file; "" when it is missing or the file
// cannot be read.
std::string GetDBProperty(const std::string& path, const std::string& name);

// path when the file may be opened (after an upgrade in place, if one was due), ""
// when it may not; the reason has then been shown.
std::string UpgradeDB(const std::string& path, core::DialogService& dialogs,
                      core::CErrHandler& errors, const UpgradeOptions& options);

// The backup an upgrade makes: "Delvar.mdb" of version 1.50 gives "Delvar_150.mdb",
// without a version property "Delvar_100.mdb".
std::string UpgradeBackupPath(const std::string& path, const std::string& versionProperty);

}  // namespace delvar::setup
