// upload and download (the whole-setup transfer between the instrument and a
// database file) and db (what a database file holds).
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/StderrDialogs.h"
#include "cli/Verbs.h"
#include "core/CErrHandler.h"
#include "link/Connect.h"
#include "platform/AppPaths.h"
#include "setup/DbTables.h"
#include "setup/UpgradeDB.h"
#include "setup/WorkFolder.h"
#include "transfer/BatchTransfer.h"
#include "transfer/DatabaseFiles.h"
#include "transfer/SetupDump.h"

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
    // A partial upload goes into what the file already holds; a whole one replaces
    // it, but only a setup database is replaced.
    if (!parsed.selection.all && fs::exists(parsed.db) && !rig.database.DBOpen(parsed.db))
        return kExitFailed;
    if (parsed.selection.all && setup::NotASetupDatabase(parsed.db)) {
        std::cerr << setup::NotASetupDatabaseText(parsed.db) << "\n";
        return kExitFailed;
    }
    if (!rig.Connect(cli.Get())) return kExitFailed;
    transfer::BatchTransfer transfer(cli.Get(), rig.dialogs, cli.Progress(), *rig.data, rig.state);
    return transfer.UploadToFile(parsed.selection, rig.files, parsed.db) ? kExitOk : kExitFailed;
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
    // TempDB and its backup live and go with a private work folder.
    std::optional<setup::WorkFolder> work;
    try {
        work.emplace();
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return kExitFailed;
    }
    transfer::DownloadPaths paths{work->File("TempDB.mdb"), folder.empty() ? "." : folder.string()};
    transfer::BatchTransfer transfer(cli.Get(), rig.dialogs, cli.Progress(), *rig.data, rig.state);
    return transfer.Download(parsed.selection, rig.files, paths) ? kExitOk : kExitFailed;
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
    try {
        const setup::WorkFolder work;
        const std::string dump = work.File("dump.txt");
        transfer::DumpSetup(*rig.data, dump);
        std::cout << std::ifstream(dump).rdbuf();
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace delvar::cli
