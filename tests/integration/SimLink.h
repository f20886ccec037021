// One fixture for the integration tests: a delvar-sim child process and the real
// link (Qt serial port, Qt socket, Qt event pump) connected to it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/Link.h"
#include "platform/QtEventPump.h"
#include "platform/QtSerialPort.h"
#include "platform/QtTcpSocket.h"
#include "support/FakeUsbXpress.h"
#include "support/SimProcess.h"

namespace delvar::testing {

enum class Transport { Tcp, Pty };

class SimLink {
  public:
    // Starts delvar-sim with args and opens the link to it over transport.
    SimLink(Transport transport, std::vector<std::string> args = {});

    link::Link& Link() { return *link_; }
    SimProcess& Sim() { return *sim_; }
    bool Opened() const { return opened_; }

  private:
    std::unique_ptr<SimProcess> sim_;
    platform::QtSerialPort serial_;
    platform::QtTcpSocket tcp_;
    FakeUsbXpress usb_;  // unused: no bridge is attached in these tests
    platform::QtEventPump pump_;
    link::SteadyClock clock_;
    std::unique_ptr<link::Link> link_;
    bool opened_ = false;
};

}  // namespace delvar::testing
