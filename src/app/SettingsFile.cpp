#include "app/SettingsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "app/cFile.h"
#include "core/AppInfo.h"
#include "util/Text.h"

namespace fs = std::filesystem;

namespace delvar::app {

namespace {

constexpr int kShortMin = -32768;
constexpr int kShortMax = 32767;

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// Creating a file is the only sure test (permissions, ACLs, read-only mounts, root).
bool CanCreateFileIn(const std::string& dir) {
    const std::string probe = (fs::path(dir) / ".delvar-write-probe").string();
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

// A whole value of the text (blanks around it allowed), or nothing.
bool ParseNumber(const std::string& text, double& value) {
    std::string trimmed = util::Trim(text);
    std::string_view digits(trimmed);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    if (digits.empty()) return false;
    auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return result.ec == std::errc() && result.ptr == digits.data() + digits.size() &&
           std::isfinite(value);
}

class Reader {
  public:
    explicit Reader(const cFile& file) : file_(file) {}
    std::string Text(const char* section, const char* key, const char* def) const {
        return file_.ReadIniStr(section, key, def);
    }
    // An integer key in lo..hi; the value is rounded half to even (through single
    // precision when asked). Anything else gives def.
    int Whole(const char* section, const char* key, int def, int lo = kShortMin, int hi = kShortMax,
              bool single = false) const {
        double value = 0;
        if (!ParseNumber(file_.ReadIniStr(section, key, ""), value)) return def;
        if (single) value = static_cast<float>(value);
        const long whole = util::RoundHalfEven(value);
        return whole < lo || whole > hi ? def : static_cast<int>(whole);
    }

  private:
    const cFile& file_;
};

}  // namespace

SettingsLocation FindSettingsFile(const std::string& programDir, const std::string& configDir) {
    const auto in = [](const std::string& dir) {
        return SettingsLocation{(fs::path(dir) / kSettingsFileName).string(), dir};
    };
    if (Exists(in(programDir).file)) return in(programDir);
    if (Exists(in(configDir).file)) return in(configDir);
    if (CanCreateFileIn(programDir)) return in(programDir);
    std::error_code ec;
    fs::create_directories(configDir, ec);
    return in(configDir);
}

std::string BesideSettings(const std::string& name, const std::string& folder) {
    if (name.empty() || fs::path(name).has_parent_path()) return name;
    return (fs::path(folder) / name).string();
}

std::string StoredName(const std::string& path, const std::string& folder) {
    const fs::path p(path);
    if (!p.has_parent_path()) return path;
    std::error_code ec1, ec2;
    const fs::path dir = fs::weakly_canonical(p.parent_path(), ec1);
    const fs::path home = fs::weakly_canonical(fs::path(folder), ec2);
    if (!ec1 && !ec2 && dir == home) return p.filename().string();
    return path;
}

void ReadINI(const SettingsLocation& where, AppSettings& s) {
    cFile file;
    file.FileName(where.file);
    const Reader ini(file);

    s.DatabaseFile = ini.Text("Database", "File", "Delvar.mdb");
    if (!Exists(BesideSettings(s.DatabaseFile, where.folder)) &&
        Exists(BesideSettings("Delvar.mdb", where.folder)))
        s.DatabaseFile = "Delvar.mdb";
    s.Debug = ini.Whole("Database", "Debug", 0);

    link::CommSettings& c = s.comm;
    c.Type = ini.Whole("CommSettings", "Type", 0, 0, 2);
    c.RS232Port = ini.Whole("CommSettings", "RS232Port", 1);
    c.RS232Device = ini.Text("CommSettings", "RS232Device", "");
    c.RS232Baud = ini.Whole("CommSettings", "RS232Baud", 0, 0, 3);
    c.USBDevice = ini.Text("CommSettings", "USBDevice", "0");
    c.EPort = ini.Text("CommSettings", "EPort", "2101");
    c.EAddress = ini.Text("CommSettings", "EAddress", "192.168.1.200");
    c.CheckSum = ini.Whole("CommSettings", "CheckSum", 1, 0, 1);
    c.Start = ini.Whole("CommSettings", "Start", 1, 0, 1);

    // A log file that is not there yet keeps its folder only when that folder exists;
    // otherwise the log goes beside the settings.
    monitor::DataLogSettings& log = s.log;
    log.File = ini.Text("DataLog", "File", "Delvar.txt");
    const fs::path logPath(log.File);
    std::error_code ec;
    if (logPath.has_parent_path() && !Exists(log.File) &&
        !fs::is_directory(logPath.parent_path(), ec))
        log.File = logPath.filename().string();
    log.LogMode = ini.Whole("DataLog", "Type", 0, 0, 2);
    log.StartTime = ini.Whole("DataLog", "Start", 0, kShortMin, kShortMax, true);
    log.EndTime = ini.Whole("DataLog", "End", 300, kShortMin, kShortMax, true);
    log.Interval = ini.Whole("DataLog", "Interval", 1);

    s.UpDnAll = ini.Whole("CommSettings", "UpDnAll", 0);
    s.UpDnProcesses = ini.Whole("CommSettings", "UpDnProcesses", 0);
    s.UpDnSystem = ini.Whole("CommSettings", "UpDnSystem", 0);
    s.UpDnMaterials = ini.Whole("CommSettings", "UpDnMaterials", 0);

    s.Display = ini.Whole("Graph", "Display", 0, 0, 3);
}

bool WriteINI(const SettingsLocation& where, const AppSettings& s) {
    if (!Exists(where.file)) {
        std::error_code ec;
        if (!where.folder.empty()) fs::create_directories(where.folder, ec);
        std::ofstream create(where.file, std::ios::app);
        if (!create) return false;
    }
    cFile file;
    file.FileName(where.file);
    std::vector<cFile::Entry> entries;
    const auto put = [&](const char* section, const char* key, const std::string& value) {
        entries.push_back({section, key, value});
    };
    const auto num = [](int v) { return std::to_string(v); };

    put("Database", "File", StoredName(s.DatabaseFile, where.folder));
    const link::CommSettings& c = s.comm;
    put("CommSettings", "Type", num(c.Type));
    put("CommSettings", "RS232Port", num(c.RS232Port));
    // Only once a device was chosen: without the key port n is /dev/ttyS{n-1}.
    if (!c.RS232Device.empty()) put("CommSettings", "RS232Device", c.RS232Device);
    put("CommSettings", "RS232Baud", num(c.RS232Baud));
    put("CommSettings", "USBDevice", c.USBDevice);
    put("CommSettings", "EPort", c.EPort);
    put("CommSettings", "EAddress", c.EAddress);
    put("CommSettings", "CheckSum", num(c.CheckSum));
    put("CommSettings", "Start", num(c.Start));
    put("DataLog", "File", StoredName(s.log.File, where.folder));
    put("DataLog", "Type", num(s.log.LogMode));
    put("DataLog", "Start", num(s.log.StartTime));
    put("DataLog", "End", num(s.log.EndTime));
    put("DataLog", "Interval", num(s.log.Interval));
    put("Graph", "Display", num(s.Display));
    put("CommSettings", "UpDnAll", num(s.UpDnAll));
    put("CommSettings", "UpDnProcesses", num(s.UpDnProcesses));
    put("CommSettings", "UpDnSystem", num(s.UpDnSystem));
    put("CommSettings", "UpDnMaterials", num(s.UpDnMaterials));
    return file.WriteIniStrs(entries);
}

bool WriteINIAtShutdown(const SettingsLocation& where, const AppSettings& settings,
                        core::DialogService& dialogs) {
    if (WriteINI(where, settings)) return true;
    dialogs.ShowMessage(
        {.text = "The settings could not be saved to " + where.file +
                 ": the file or its folder cannot be written. The settings changed in this "
                 "session are lost.",
         .title = core::kAppTitle,
         .icon = core::MessageIcon::Exclamation});
    return false;
}

}  // namespace delvar::app
