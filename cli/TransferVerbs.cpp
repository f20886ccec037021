// upload and download (the whole-setup transfer between the instrument and a
// database file) and db (what a database file holds).
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "core/CErrHandler.h"
#include "cli/StderrDialogs.h"
#include "cli/Verbs.h"
#include "transfer/SetupDump.h"
#include "link/Connect.h"
#include "platform/AppPaths.h"
#include "transfer/BatchTransfer.h"
#include "transfer/DatabaseFiles.h"
#include "setup/UpgradeDB.h"

namespace delvar::cli {

namespace {

namespace fs = std::filesystem;

struct TransferArgs {
    std::string db;
    std::string saveBefore;
    transfer::TransferSelection selection;
};

// --db FILE, the selection flags and (download only) --save-before FILE.
bool ParseTransferArgs(const char* verb, const std::vector<std::string>& args, bool download,
                       TransferArgs& out) {
    out.selection.all = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--db" && i + 1 < args.size()) {
            out.db = args[++i];
        } else if (download && a == "--save-before" && i + 1 < args.size()) {
            out.saveBefore = args[++i];
        } else if (a == "--processes") {
            out.selection.processes = true;
        } else if (a == "--films") {
            out.selection.films = true;
        } else if (a == "--materials") {
            out.selection.materials = true;
        } else {
            std::cerr << verb << ": unexpected argument " << a << "\n" << UsageText();
            return false;
        }
    }
    if (out.db.empty()) {
        std::cerr << verb << " needs --db FILE\n" << UsageText();
        return false;
    }
    const auto& s = out.selection;
    out.selection.all = !(s.processes || s.films || s.materials);
    return true;
}

// Everything one transfer needs, made once.
struct TransferRig {
    StderrDialogs dialogs;
    core::CErrHandler errors{dialogs, core::AppInfo{}, platform::ErrorReportPath(),
                            platform::TraceFolder()};
    setup::NoProgress progress;
    std::unique_ptr<setup::SetupData> data = [] {
        auto s = std::make_unique<setup::SetupData>();
        setup::ResetSetupData(*s);
        return s;
    }();
    setup::modDatabase database{*data, {dialogs, errors, progress}, Options()};
    transfer::DatabaseFiles files{database};
    transfer::TransferState state;
    std::string instrumentVersion;  // known once connected: the upgrade may need it

    setup::DatabaseOptions Options() {
        setup::DatabaseOptions options;
        options.dumpSetup = transfer::DumpSetup;
        // Every open checks the file's version first and upgrades an old one.
        options.versionCheck = [this](const std::string& path) {
            setup::UpgradeOptions upgrade;
            upgrade.blankTemplate = setup::DefaultBlankTemplate();
            upgrade.instrumentVersion = instrumentVersion;
            upgrade.workFolder = fs::temp_directory_path().string();
            return setup::UpgradeDB(path, dialogs, errors, upgrade);
        };
        return options;
    }
    bool Connect(link::Link& link) {
        link::NoWindowHost window;
        if (!link::ConnectInstrument(link, dialogs, window, "Delvar Comm")) {
            std::cerr << "Off line\n";
            return false;
        }
        instrumentVersion = link.Info().VersionText;
        return true;
    }
};

}  // namespace

int RunUploadVerb(CliLink& cli, const std::vector<std::string>& args) {
    TransferArgs parsed;
    if (!ParseTransferArgs("upload", args, false, parsed)) return kExitUsage;
    TransferRig rig;
    // A partial upload goes into what the file already holds.
    if (!parsed.selection.all && fs::exists(parsed.db) && !rig.database.DBOpen(parsed.db))
        return kExitFailed;
    if (!rig.Connect(cli.Get())) return kExitFailed;
    transfer::BatchTransfer transfer(cli.Get(), rig.dialogs, cli.Progress(), *rig.data, rig.state);
    const bool uploaded = transfer.Upload(parsed.selection);
    if (!rig.database.DBSave(parsed.db)) return kExitFailed;
    return uploaded ? kExitOk : kExitFailed;
}

int RunDownloadVerb(CliLink& cli, const std::vector<std::string>& args) {
    TransferArgs parsed;
    if (!ParseTransferArgs("download", args, true, parsed)) return kExitUsage;
    TransferRig rig;
    if (!rig.database.DBOpen(parsed.db)) return kExitFailed;
    if (!parsed.saveBefore.empty()) {
        rig.dialogs.questionAnswer = core::MessageAnswer::Yes;
        rig.dialogs.saveFile = parsed.saveBefore;
    }
    if (!rig.Connect(cli.Get())) return kExitFailed;
    const fs::path folder = fs::path(parsed.db).parent_path();
    transfer::DownloadPaths paths{
        (fs::temp_directory_path() / ("delvar-TempDB-" + std::to_string(::getpid()) + ".mdb"))
            .string(),
        folder.empty() ? "." : folder.string()};
    transfer::BatchTransfer transfer(cli.Get(), rig.dialogs, cli.Progress(), *rig.data, rig.state);
    const bool downloaded = transfer.Download(parsed.selection, rig.files, paths);
    std::error_code ignored;
    fs::remove(paths.tempDb, ignored);
    fs::remove(transfer::OriginalBackupPath(paths.tempDb), ignored);
    return downloaded ? kExitOk : kExitFailed;
}

// db dump FILE: the debug dump of the file's setup on stdout; db version FILE: its
// "Version" property.
int RunDbVerb(CliLink&, const std::vector<std::string>& args) {
    if (args.size() != 2 || (args[0] != "dump" && args[0] != "version")) {
        std::cerr << "db needs dump FILE or version FILE\n" << UsageText();
        return kExitUsage;
    }
    const std::string& file = args[1];
    if (args[0] == "version") {
        if (!fs::exists(file)) {
            std::cerr << "No such file: " << file << "\n";
            return kExitFailed;
        }
        const std::string version = setup::GetDBProperty(file, "Version");
        if (version.empty()) {
            std::cerr << file << " has no Version property\n";
            return kExitFailed;
        }
        std::cout << version << "\n";
        return kExitOk;
    }
    TransferRig rig;
    if (!rig.database.DBOpen(file)) return kExitFailed;
    const fs::path dump =
        fs::temp_directory_path() / ("delvar-dump-" + std::to_string(::getpid()) + ".txt");
    try {
        transfer::DumpSetup(*rig.data, dump.string());
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return kExitFailed;
    }
    std::cout << std::ifstream(dump).rdbuf();
    std::error_code ignored;
    fs::remove(dump, ignored);
    return kExitOk;
}

}  // namespace delvar::cli
