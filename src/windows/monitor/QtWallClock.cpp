#include "windows/monitor/QtWallClock.h"

#include <QDateTime>
#include <QLocale>

namespace delvar::windows {

double QtWallClock::SecondsSinceMidnight() const {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

std::string QtWallClock::DateText() const {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

std::string QtWallClock::TimeText() const {
    return QTime::currentTime().toString("H:mm:ss").toStdString();
}

}  // namespace delvar::windows
