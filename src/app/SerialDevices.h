// The serial ports of the computer as the communications window offers them, and the
// texts about a port the user may not open.
#pragma once

#include <string>
#include <vector>

namespace delvar::app {

enum class PortAccess { Ok, Missing, Denied };

struct SerialDeviceInfo {
    std::string path;          // /dev/ttyUSB0
    std::string description;   // "CP2102 USB to UART Bridge Controller"
    std::string manufacturer;  // "Silicon Labs"
    std::string byId;          // /dev/serial/by-id/... when the system names one
    PortAccess access = PortAccess::Ok;
};

class SerialDevices {
  public:
    virtual ~SerialDevices() = default;
    // The serial ports that exist now, in path order.
    virtual std::vector<SerialDeviceInfo> List() = 0;
    // Serial port number n (1..9) stands for path from now on; "" restores /dev/ttyS{n-1}.
    virtual void Assign(int portNumber, const std::string& path) = 0;
    virtual std::string PathOf(int portNumber) const = 0;
    virtual PortAccess Access(const std::string& path) const = 0;
};

// The device path a stored choice stands for, the stable by-id name when there is one.
std::string DeviceChoicePath(const SerialDeviceInfo& device);

// "/dev/ttyUSB0 - CP2102 USB to UART (Silicon Labs)", marked when it cannot be opened.
std::string DeviceChoiceText(const SerialDeviceInfo& device);

// Why the port cannot be opened and what to do: the dialout group, then a new login.
std::string PermissionMessage(const std::string& path);

}  // namespace delvar::app
