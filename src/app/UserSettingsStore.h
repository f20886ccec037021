// The per-user string store of window positions and graph set-ups: values keyed by
// section and key under the application title.
#pragma once

#include <map>
#include <string>

namespace delvar::app {

class UserSettingsStore {
  public:
    virtual ~UserSettingsStore() = default;
    // "" when the entry is missing.
    virtual std::string GetSetting(const std::string& section, const std::string& key) const = 0;
    virtual void SaveSetting(const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

// In memory, for tests and for runs that must not touch the user's store.
class MemorySettingsStore final : public UserSettingsStore {
  public:
    std::string GetSetting(const std::string& section, const std::string& key) const override {
        auto it = values.find(section + "\n" + key);
        return it == values.end() ? "" : it->second;
    }
    void SaveSetting(const std::string& section, const std::string& key,
                     const std::string& value) override {
        values[section + "\n" + key] = value;
    }
    std::map<std::string, std::string> values;
};

}  // namespace delvar::app
