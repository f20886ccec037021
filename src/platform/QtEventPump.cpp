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
    // A timer still armed from an earlier wait that rings before wakeBy is kept: it
    // wakes this wait early once, which costs less than arming a timer every wait.
    if (!wakeTimer_.isActive() || armedFor_ > wakeBy + milliseconds(1)) {
        // Round up so the wake comes at or after wakeBy, never just before it.
        auto ms = duration_cast<milliseconds>(remaining + microseconds(999));
        wakeTimer_.start(static_cast<int>(ms.count()));
        armedFor_ = steady_clock::now() + ms;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void QtEventPump::Post(std::function<void()> task) {
    QTimer::singleShot(0, &wakeTimer_, std::move(task));
}

}  // namespace delvar::platform
