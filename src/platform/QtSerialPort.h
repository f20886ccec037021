// RS-232 through QSerialPort: raw 8-N-1 without flow control. Port number n stands
// for a device path from a table (default /dev/ttyS{n-1}), which the user can change.
#pragma once

#include <QSerialPort>
#include <map>
#include <string>

#include "link/Ports.h"

namespace delvar::platform {

class QtSerialPort final : public link::SerialPort {
  public:
    QtSerialPort();

    // Device path for a port number; empty restores the default.
    void SetDevicePath(int portNumber, const std::string& path);
    std::string DevicePath(int portNumber) const;

    void SetPortNumber(int n) override;
    int PortNumber() const override { return number_; }
    void SetBaudRate(int baud) override;
    void SetInputBufferSize(int bytes) override;
    bool Open() override;
    void Close() override;
    bool IsOpen() const override;
    int BytesWaiting() const override;
    bool ReadByte(std::uint8_t& b) override;
    bool Write(const link::Bytes& bytes) override;
    void DiscardInput() override;

  private:
    QSerialPort port_;
    int number_ = 1;
    int baud_ = 19200;
    std::map<int, std::string> paths_;
};

}  // namespace delvar::platform
