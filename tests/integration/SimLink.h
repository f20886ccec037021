// One fixture for the integration tests and the benchmarks: a delvar-sim child
// process on a free loopback port or a fresh pty, and the real link (Qt serial port,
// Qt socket, Qt event pump) opened to it.
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

// The Qt serial port, counting the bytes that cross the line each way.
class CountingSerialPort final : public link::SerialPort {
  public:
    platform::QtSerialPort port;
    std::uint64_t written = 0, read = 0;

    void SetPortNumber(int n) override { port.SetPortNumber(n); }
    int PortNumber() const override { return port.PortNumber(); }
    void SetBaudRate(int baud) override { port.SetBaudRate(baud); }
    void SetInputBufferSize(int bytes) override { port.SetInputBufferSize(bytes); }
    bool Open() override { return port.Open(); }
    void Close() override { port.Close(); }
    bool IsOpen() const override { return port.IsOpen(); }
    int BytesWaiting() const override { return port.BytesWaiting(); }
    bool ReadByte(std::uint8_t& b) override {
        if (!port.ReadByte(b)) return false;
        ++read;
        return true;
    }
    bool Write(const link::Bytes& bytes) override {
        written += bytes.size();
        return port.Write(bytes);
    }
    void DiscardInput() override { port.DiscardInput(); }
};

class SimLink {
  public:
    // Starts delvar-sim with args and opens the link to it over transport (a pty at
    // 19200 baud, the rate delvar-sim --baud 19200 paces it at).
    explicit SimLink(Transport transport = Transport::Tcp, std::vector<std::string> args = {});

    link::Link& Link() { return *link_; }
    SimProcess& Sim() { return *sim_; }
    bool Opened() const { return opened_; }
    // The program's own connect ("@", then "J"): true when the instrument is on line.
    bool Connect();
    const CountingSerialPort& Serial() const { return serial_; }

  private:
    std::unique_ptr<SimProcess> sim_;
    CountingSerialPort serial_;
    platform::QtTcpSocket tcp_;
    FakeUsbXpress usb_;  // unused: no bridge is attached here
    platform::QtEventPump pump_;
    link::SteadyClock clock_;
    std::unique_ptr<link::Link> link_;
    bool opened_ = false;
};

}  // namespace delvar::testing
