#include "platform/AppPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace delvar::platform {

std::string UserDataFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty()) folder = QDir::homePath() + "/.delvar-comm";
    QDir().mkpath(folder);
    return folder.toStdString();
}

std::string ErrorReportPath() {
    return UserDataFolder() + "/ERRORS.TXT";
}

std::string TraceFolder() {
    return UserDataFolder();
}

}  // namespace delvar::platform
