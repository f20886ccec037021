#include "platform/QtEventPump.h"

#include <QCoreApplication>
#include <chrono>

namespace delvar::platform {

QtEventPump::QtEventPump() {
    wakeTimer_.setSingleShot(true);
    wakeTimer_.setTimerType(Qt::PreciseTimer);
}

void QtEventPump::ProcessEvents(link::TimePoint wakeBy, bool mayWait) {
    using namespace std::chrono;
    auto remaining = duration_cast<microseconds>(wakeBy - steady_clock::now());
    if (!mayWait || remaining <= microseconds::zero()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // Round up so the wake comes at or after the deadline, never just before it.
    auto ms = duration_cast<milliseconds>(remaining + microseconds(999));
    wakeTimer_.start(static_cast<int>(ms.count()));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    wakeTimer_.stop();
}

}  // namespace delvar::platform
