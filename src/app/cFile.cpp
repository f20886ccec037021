#include "app/cFile.h"

#include <SimpleIni.h>

#include <filesystem>
#include <limits>
#include <system_error>

#include "app/FileReplace.h"
#include "util/Text.h"

namespace delvar::app {

namespace {

constexpr std::size_t kMaxValue = 254;  // what a 255-byte read buffer holds

// Keys without spaces around "=", quotes around values with outer blanks.
void Configure(CSimpleIniA& ini) {
    ini.SetSpaces(false);
    ini.SetQuotes(true);
    ini.SetMultiKey(false);
}

bool Load(const std::string& path, CSimpleIniA& ini) {
    Configure(ini);
    if (path.empty()) return false;
    return ini.LoadFile(path.c_str()) >= 0;
}

bool Save(const std::string& path, CSimpleIniA& ini) {
    std::string text;
    if (ini.Save(text) < 0) return false;
    return WriteWholeFile(path, text) != WriteOutcome::kFailed;
}

std::string Item(const std::string& value, int item) {
    std::size_t start = 0;
    for (int i = 1; i < item; ++i) {
        const std::size_t comma = value.find(',', start);
        if (comma == std::string::npos) break;  // past the count: the last item
        start = comma + 1;
    }
    const std::size_t end = value.find(',', start);
    return value.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

void cFile::FileName(const std::string& path) {
    std::error_code ec;
    fileName_ = std::filesystem::is_regular_file(path, ec) ? path : "";
}

std::string cFile::ReadIniStr(const std::string& section, const std::string& key,
                              const std::string& def, int item) const {
    CSimpleIniA ini;
    if (!Load(fileName_, ini)) return def;
    std::string value = ini.GetValue(section.c_str(), key.c_str(), "");
    if (value.size() > kMaxValue) value.resize(kMaxValue);
    if (value.empty()) return def;
    return item > 0 ? Item(value, item) : value;
}

int cFile::ReadIniInt(const std::string& section, const std::string& key, int def) const {
    long value = 0;
    if (!util::ParseWholeNumber(ReadIniStr(section, key, ""), value)) return def;
    if (value < std::numeric_limits<short>::min() || value > std::numeric_limits<short>::max())
        return def;
    return static_cast<int>(value);
}

float cFile::ReadIniSingle(const std::string& section, const std::string& key, float def) const {
    const std::string value = ReadIniStr(section, key, "");
    return value.empty() ? def : static_cast<float>(util::LeadingNumber(value));
}

bool cFile::ReadIniBool(const std::string& section, const std::string& key,
                        const std::string& def) const {
    const std::string value = util::ToUpper(util::Trim(ReadIniStr(section, key, def)));
    return value == "TRUE" || value == "YES" || value == "ON" || value == "1";
}

bool cFile::WriteIniStr(const std::string& section, const std::string& key,
                        const std::string& value) {
    return WriteIniStrs({{section, key, value}});
}

bool cFile::WriteIniStrs(const std::vector<Entry>& entries) {
    CSimpleIniA ini;
    if (!Load(fileName_, ini)) return false;
    for (const Entry& e : entries)
        if (ini.SetValue(e.section.c_str(), e.key.c_str(), e.value.c_str()) < 0) return false;
    return Save(fileName_, ini);
}

bool cFile::ClearIniSection(const std::string& section) {
    CSimpleIniA ini;
    if (!Load(fileName_, ini)) return false;
    ini.Delete(section.c_str(), nullptr);
    return Save(fileName_, ini);
}

}  // namespace delvar::app
