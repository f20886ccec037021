// The link's wait on Qt's event loop: runs pending events and, when allowed, sleeps
// until the next event (received bytes arrive as socket-notifier events) or wakeBy.
#pragma once

#include <QTimer>

#include "link/Ports.h"

namespace delvar::platform {

class QtEventPump final : public link::EventPump {
  public:
    QtEventPump();
    void ProcessEvents(link::TimePoint wakeBy, bool mayWait) override;
    void Post(std::function<void()> task) override;

  private:
    QTimer wakeTimer_;
    link::TimePoint armedFor_{};  // when wakeTimer_ rings while it is active
};

}  // namespace delvar::platform
