#include "platform/FakeSysfs.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>

namespace delvar::testing {

namespace fs = std::filesystem;

FakeSysfs::FakeSysfs() {
    std::string pattern = (fs::temp_directory_path() / "delvar-sysfs-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    base_ = pattern;
    fs::create_directories(base_ / "sys" / "class" / "tty");
    fs::create_directories(base_ / "sys" / "devices");
    fs::create_directories(base_ / "dev");
}

FakeSysfs::~FakeSysfs() {
    std::error_code ec;
    fs::remove_all(base_, ec);
}

void FakeSysfs::WriteFile(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
}

fs::path FakeSysfs::AddUsbDevice(const std::string& name, const std::string& vendor,
                                 const std::string& product,
                                 const std::optional<std::string>& serial,
                                 const std::string& description) {
    fs::path dir = base_ / "sys" / "devices" / "pci0000:00" / "usb1" / name;
    fs::create_directories(dir);
    WriteFile(dir / "idVendor", vendor + "\n");
    WriteFile(dir / "idProduct", product + "\n");
    WriteFile(dir / "product", description + "\n");
    if (serial) WriteFile(dir / "serial", *serial + "\n");
    return dir;
}

void FakeSysfs::AddUsbTty(const std::string& tty, const fs::path& usbDevice) {
    // <usb>/<usb>:1.N/<tty>/tty/<tty>, with class/tty/<tty> a relative link to it
    // and its `device` link relative too, so both must be resolved in turn.
    fs::path port =
        usbDevice / (usbDevice.filename().string() + ":1." + std::to_string(interfaces_++)) / tty;
    fs::path classDir = port / "tty" / tty;
    fs::create_directories(classDir);
    fs::create_directory_symlink("../../../" + tty, classDir / "device");
    fs::create_directory_symlink(fs::relative(classDir, base_ / "sys" / "class" / "tty"),
                                 base_ / "sys" / "class" / "tty" / tty);
}

void FakeSysfs::AddPlatformTty(const std::string& tty) {
    fs::path uart = base_ / "sys" / "devices" / "platform" / "serial8250" / tty;
    fs::create_directories(uart);
    fs::path classDir = base_ / "sys" / "class" / "tty" / tty;
    fs::create_directories(classDir);
    fs::create_directory_symlink(uart, classDir / "device");
}

void FakeSysfs::AddVirtualTty(const std::string& tty) {
    fs::create_directories(base_ / "sys" / "class" / "tty" / tty);
}

void FakeSysfs::LinkDeviceNode(const std::string& tty, const std::string& target) {
    fs::path node = base_ / "dev" / tty;
    std::error_code ec;
    fs::remove(node, ec);
    fs::create_symlink(target, node);
}

}  // namespace delvar::testing
