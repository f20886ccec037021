// The settings-file class: one initialisation file ("[Section]" lines and "key=value"
// lines) read and written key by key. Section and key names ignore letter case; a
// value reads back as at most 254 characters. Every call opens the file afresh, so
// nothing is held in memory between calls and other keys and sections are kept. A
// write replaces the whole file (WriteWholeFile: through a link to its target, with
// its mode kept, in place when its folder takes no new file).
#pragma once

#include <string>
#include <vector>

namespace delvar::app {

class cFile {
  public:
    // Stores the path only when a file of that name exists; otherwise an empty name.
    void FileName(const std::string& path);
    const std::string& FileName() const { return fileName_; }

    // The value, or def when it is missing or empty. With item > 0 the item-th
    // comma-separated part of the value (1-based; the last part when item exceeds
    // the count).
    std::string ReadIniStr(const std::string& section, const std::string& key,
                           const std::string& def, int item = 0) const;
    // The value as a 16-bit integer; def when it is missing, not a whole number or
    // out of range.
    int ReadIniInt(const std::string& section, const std::string& key, int def) const;
    // The leading number of the value as a single-precision value; def when empty.
    float ReadIniSingle(const std::string& section, const std::string& key, float def) const;
    // True for "TRUE", "YES", "ON" or "1" in any letter case.
    bool ReadIniBool(const std::string& section, const std::string& key,
                     const std::string& def) const;
    // Writes one key: an existing key keeps its place, a new one goes to the end of
    // its section (a new section to the end of the file). False when the file cannot
    // be written or no file is set.
    bool WriteIniStr(const std::string& section, const std::string& key, const std::string& value);
    // Writes several keys in one go, as WriteIniStr one after the other would.
    struct Entry {
        std::string section, key, value;
    };
    bool WriteIniStrs(const std::vector<Entry>& entries);
    // Removes the whole section; false when the file cannot be written.
    bool ClearIniSection(const std::string& section);

  private:
    std::string fileName_;
};

}  // namespace delvar::app
