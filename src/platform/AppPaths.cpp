#include "platform/AppPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace delvar::platform {

std::string UserDataFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty()) folder = QDir::home().filePath(".delvar-comm");
    QDir().mkpath(folder);
    return folder.toStdString();
}

std::string ErrorReportPath() {
    return QDir(QString::fromStdString(UserDataFolder())).filePath("ERRORS.TXT").toStdString();
}

std::string TraceFolder() {
    return UserDataFolder();
}

}  // namespace delvar::platform
