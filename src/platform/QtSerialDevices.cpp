#include "platform/QtSerialDevices.h"

#include <unistd.h>

#include <QSerialPortInfo>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <tuple>

#include "platform/QtSerialPort.h"

namespace fs = std::filesystem;

namespace delvar::platform {

namespace {
// The stable names udev gives each port: device path -> /dev/serial/by-id/...
std::map<std::string, std::string> StableNames() {
    std::map<std::string, std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/dev/serial/by-id", ec)) {
        const fs::path target = fs::canonical(entry.path(), ec);
        if (!ec) names.emplace(target.string(), entry.path().string());
    }
    return names;
}
}  // namespace

app::PortAccess SerialAccess(const std::string& path) {
    if (::access(path.c_str(), R_OK | W_OK) == 0) return app::PortAccess::Ok;
    return errno == EACCES || errno == EPERM || errno == EROFS ? app::PortAccess::Denied
                                                               : app::PortAccess::Missing;
}

std::vector<app::SerialDeviceInfo> QtSerialDevices::List() {
    const auto stable = StableNames();
    std::vector<app::SerialDeviceInfo> devices;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        app::SerialDeviceInfo info;
        info.path = port.systemLocation().toStdString();
        info.description = port.description().toStdString();
        info.manufacturer = port.manufacturer().toStdString();
        if (auto it = stable.find(info.path); it != stable.end()) info.byId = it->second;
        info.access = SerialAccess(info.path);
        devices.push_back(std::move(info));
    }
    // Adapters with a stable name first (the likely instrument), then by path with
    // ttyS2 before ttyS10.
    std::ranges::sort(devices, {}, [](const app::SerialDeviceInfo& d) {
        return std::tuple(d.byId.empty(), d.path.size(), d.path);
    });
    return devices;
}

void QtSerialDevices::Assign(int portNumber, const std::string& path) {
    port_.SetDevicePath(portNumber, path);
}

std::string QtSerialDevices::PathOf(int portNumber) const {
    return port_.DevicePath(portNumber);
}

}  // namespace delvar::platform
