#include "windows/app/QtUserSettings.h"

namespace delvar::windows {

namespace {
QString EntryName(const std::string& section, const std::string& key) {
    return QString::fromStdString(section + "/" + key);
}
}  // namespace

QtUserSettings::QtUserSettings()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, "Delvar Comm", "Delvar Comm") {}

QtUserSettings::QtUserSettings(const QString& iniFile) : settings_(iniFile, QSettings::IniFormat) {}

std::string QtUserSettings::GetSetting(const std::string& section, const std::string& key) const {
    return settings_.value(EntryName(section, key)).toString().toStdString();
}

void QtUserSettings::SaveSetting(const std::string& section, const std::string& key,
                                 const std::string& value) {
    settings_.setValue(EntryName(section, key), QString::fromStdString(value));
    settings_.sync();  // on disk at once, not only when the program ends normally
}

}  // namespace delvar::windows
