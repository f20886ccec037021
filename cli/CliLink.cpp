#include "cli/CliLink.h"

#include <iostream>

#include "platform/LinuxUsbXpress.h"
#include "platform/QtEventPump.h"
#include "platform/QtSerialDevices.h"
#include "platform/QtSerialPort.h"
#include "platform/QtTcpSocket.h"

namespace delvar::cli {

struct CliLink::Ports {
    platform::QtSerialPort serial;
    platform::QtTcpSocket tcp;
    platform::LinuxUsbXpress usb;
    platform::QtEventPump pump;
};

CliLink::CliLink(const CliOptions& options)
    : ports_(std::make_unique<Ports>()), progress_(options.progress) {
    if (!options.serialDevice.empty())
        ports_->serial.SetDevicePath(options.comm.RS232Port, options.serialDevice);
    link_ = std::make_unique<link::Link>(
        link::LinkPorts{ports_->serial, ports_->tcp, ports_->usb, ports_->pump, clock_});
    link_->Settings() = options.comm;
    link_->SetRetries(options.retries);
}

CliLink::~CliLink() = default;

bool CliLink::Open() {
    if (link_->OpenSelectedPort()) return true;
    const auto& s = link_->Settings();
    switch (s.Type) {
        case link::kPortRs232:
            if (platform::SerialAccess(ports_->serial.DevicePath(s.RS232Port)) ==
                app::PortAccess::Denied)
                ExplainSerialAccess();
            else
                std::cerr << "cannot open serial port " << ports_->serial.DevicePath(s.RS232Port)
                          << "\n";
            break;
        case link::kPortUsb:
            std::cerr << "no USB bridge with serial number " << s.USBDevice << " found\n";
            break;
        default:
            std::cerr << "cannot connect to " << s.EAddress << ":" << s.EPort << "\n";
            break;
    }
    return false;
}

}  // namespace delvar::cli

namespace delvar::cli {

void CliLink::ExplainSerialAccess() {
    const auto& s = link_->Settings();
    if (s.Type != link::kPortRs232) return;
    const std::string path = ports_->serial.DevicePath(s.RS232Port);
    if (platform::SerialAccess(path) == app::PortAccess::Denied)
        std::cerr << app::PermissionMessage(path) << "\n";
}

}  // namespace delvar::cli
