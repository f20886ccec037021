// The per-user settings store on QSettings in the system's native format, under the
// organisation and application "Delvar Comm"; an entry is "section/key".
#pragma once

#include <QSettings>

#include "app/UserSettingsStore.h"

namespace delvar::windows {

class QtUserSettings final : public app::UserSettingsStore {
  public:
    QtUserSettings();
    // A store in the given file (ini format), for runs that keep their own.
    explicit QtUserSettings(const QString& iniFile);
    std::string GetSetting(const std::string& section, const std::string& key) const override;
    void SaveSetting(const std::string& section, const std::string& key,
                     const std::string& value) override;

  private:
    QSettings settings_;
};

}  // namespace delvar::windows
