// The computer's serial ports through QSerialPortInfo and /dev/serial/by-id, and the
// device table of the program's serial port.
#pragma once

#include "app/SerialDevices.h"

namespace delvar::platform {

class QtSerialPort;

// Whether the user may open the device: its permissions, not an open that would
// disturb the line.
app::PortAccess SerialAccess(const std::string& path);

class QtSerialDevices final : public app::SerialDevices {
  public:
    explicit QtSerialDevices(QtSerialPort& port) : port_(port) {}
    std::vector<app::SerialDeviceInfo> List() override;
    void Assign(int portNumber, const std::string& path) override;
    std::string PathOf(int portNumber) const override;
    app::PortAccess Access(const std::string& path) const override { return SerialAccess(path); }

  private:
    QtSerialPort& port_;
};

}  // namespace delvar::platform
