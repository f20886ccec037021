// A setup database module over a fresh temporary folder, with scripted dialogs, a
// recording progress display and the blank template of the build.
#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/CErrHandler.h"
#include "core/ErrHandlerRig.h"
#include "setup/SqliteDb.h"
#include "setup/modDatabase.h"
#include "support/ScriptedDialogs.h"
#include "transfer/SetupDump.h"

namespace delvar::testing {

struct RecordingProgress final : setup::ProgressDisplay {
    std::vector<std::string> lines;  // "caption|action|detail|percent" per call
    std::function<void(const std::string& action)> onUpdate;

    void Show(const std::string& caption, const std::string& action, const std::string& detail,
              int percent) override {
        lines.push_back(caption + "|" + action + "|" + detail + "|" + std::to_string(percent));
    }
    void Update(const std::string& action, const std::string& detail, int percent) override {
        lines.push_back(action + "|" + detail + "|" + std::to_string(percent));
        if (onUpdate) onUpdate(action);
    }
    void Close() override {}
};

struct DatabaseRig {
    TempFolder folder;
    ScriptedDialogs dialogs;
    core::CErrHandler errors{dialogs, core::AppInfo{}, (folder.path / "ERRORS.TXT").string(),
                             folder.path.string(), [] { return std::string(kFixedTime); }};
    RecordingProgress progress;
    std::unique_ptr<setup::SetupData> data = Fresh();
    setup::modDatabase db{*data, {dialogs, errors, progress}, Options(folder.path)};

    static std::unique_ptr<setup::SetupData> Fresh() {
        auto s = std::make_unique<setup::SetupData>();
        setup::ResetSetupData(*s);
        return s;
    }
    static setup::DatabaseOptions Options(const std::filesystem::path& folder) {
        setup::DatabaseOptions options;
        options.blankTemplate = DELVAR_BLANK_TEMPLATE;
        options.dumpFolder = folder.string();
        options.dumpSetup = transfer::DumpSetup;
        options.tempFolder = folder.string();
        options.copy.busyTimeoutMs = 200;
        return options;
    }
    std::string Path(const std::string& name) const { return (folder.path / name).string(); }

    // A file saved from a reset setup, then changed by the given SQL.
    std::string SavedFile(const std::string& name, const std::string& sql = "") {
        const std::string path = Path(name);
        auto blank = Fresh();
        setup::modDatabase saver(*blank, {dialogs, errors, progress}, Options(folder.path));
        if (!saver.DBSave(path)) return "";
        if (!sql.empty()) Sql(path, sql);
        return path;
    }
    static void Sql(const std::string& path, const std::string& sql) {
        setup::SqliteDb file(path);
        file.Exec(sql);
        file.Close();
    }
    static std::string Scalar(const std::string& path, const std::string& sql) {
        setup::SqliteDb file(path);
        setup::Statement query(file, sql);
        return query.Step() ? query.Text(0) : "<no row>";
    }
    // A second module over the same folder, for reading back what was saved.
    std::unique_ptr<setup::SetupData> OpenedCopy(const std::string& path) {
        auto back = Fresh();
        setup::modDatabase opener(*back, {dialogs, errors, progress}, Options(folder.path));
        return opener.DBOpen(path) ? std::move(back) : nullptr;
    }
    // Work folders of saves and upgrades left in the rig's folder.
    int WorkFolders() const {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path))
            count += entry.path().filename().string().rfind("delvar-work-", 0) == 0;
        return count;
    }
};

}  // namespace delvar::testing
