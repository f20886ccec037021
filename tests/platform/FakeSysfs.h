// A throw-away sysfs and /dev tree in a temp directory, laid out as the kernel does:
// class/tty/<name> links into devices/, and the tty's `device` link points at the
// port directory below the USB interface below the USB device.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace delvar::testing {

class FakeSysfs {
  public:
    FakeSysfs();
    ~FakeSysfs();
    FakeSysfs(const FakeSysfs&) = delete;
    FakeSysfs& operator=(const FakeSysfs&) = delete;

    std::string SysRoot() const { return (base_ / "sys").string(); }
    std::string DevRoot() const { return (base_ / "dev").string(); }

    // A USB device directory with the given attributes (written with a trailing
    // newline, as sysfs does); a missing serial leaves the file out.
    std::filesystem::path AddUsbDevice(const std::string& name, const std::string& vendor,
                                       const std::string& product,
                                       const std::optional<std::string>& serial,
                                       const std::string& description = "CP2102 USB to UART");
    // A tty served by an interface of usbDevice.
    void AddUsbTty(const std::string& tty, const std::filesystem::path& usbDevice);
    // A tty on a non-USB parent (an on-board UART) and one without any device link.
    void AddPlatformTty(const std::string& tty);
    void AddVirtualTty(const std::string& tty);
    // <dev>/<tty> as a symlink to target (a pty slave, say).
    void LinkDeviceNode(const std::string& tty, const std::string& target);

    static void WriteFile(const std::filesystem::path& file, const std::string& text);

  private:
    std::filesystem::path base_;
    int interfaces_ = 0;
};

}  // namespace delvar::testing
