// The settings file "Delvar Comm.ini": where it lives, and reading and writing the
// settings in memory from and to it.
#pragma once

#include <string>

#include "app/AppSettings.h"
#include "core/DialogService.h"

namespace delvar::app {

inline constexpr const char* kSettingsFileName = "Delvar Comm.ini";

struct SettingsLocation {
    std::string file;    // the settings file's full path
    std::string folder;  // its folder: bare file names in the settings live here
};

// The program folder's file when it exists, else the config folder's file when that
// exists, else (first run) the program folder when it is writable, else the config
// folder (created when missing).
SettingsLocation FindSettingsFile(const std::string& programDir, const std::string& configDir);

// Fills settings from the file; a missing file, key or a value that is no number
// (or out of its range) gives the default. The graph set-ups are not in this file.
void ReadINI(const SettingsLocation& where, AppSettings& settings);

// Writes every key in the file's fixed order (Debug is never written); creates the
// file when missing. False when it cannot be written.
bool WriteINI(const SettingsLocation& where, const AppSettings& settings);

// WriteINI at shutdown: when the settings cannot be written, a message says so (and
// that this session's changes are lost). False then.
bool WriteINIAtShutdown(const SettingsLocation& where, const AppSettings& settings,
                        core::DialogService& dialogs);

// A bare file name lives in the settings folder; a name with a directory is kept.
std::string BesideSettings(const std::string& name, const std::string& folder);

// The form a path is stored in: bare when it lies in the settings folder (or is bare
// already), else the full path.
std::string StoredName(const std::string& path, const std::string& folder);

}  // namespace delvar::app
