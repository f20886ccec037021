// The USB bridge library on Linux: Silicon Labs USB-serial bridges are found in
// sysfs and talked to through their tty. Handles are small positive numbers from an
// internal table; the ports deliver readyRead to the Qt event loop, so a wait that
// runs that loop wakes when bytes arrive.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/Ports.h"

namespace delvar::platform {

inline constexpr const char* kSiliconLabsVendorId = "10c4";

// One bridge as sysfs describes it. Texts are trimmed but otherwise as written.
struct UsbBridgeInfo {
    std::string ttyName;       // "ttyUSB0"
    std::string devicePath;    // device root + "/" + ttyName
    std::string vendorId;      // idVendor, "10c4"
    std::string productId;     // idProduct, "8292" or "ea60"
    std::string serialNumber;  // serial; empty when the device has none
    std::string description;   // product; empty when missing
};

// Every tty under <sysfsRoot>/class/tty whose device sits below a USB device with
// vendor 10c4, in natural tty-name order (ttyUSB2 before ttyUSB10).
std::vector<UsbBridgeInfo> ListSiliconLabsBridges(const std::string& sysfsRoot,
                                                  const std::string& deviceRoot);

class LinuxUsbXpress final : public link::UsbXpress {
  public:
    // Further result codes of the library that this adapter reports.
    static constexpr int kInvalidParameter = 0x06;
    static constexpr int kDeviceIoFailed = 0x08;
    static constexpr int kInvalidBaudRate = 0x09;
    // Further SI_GetProductString options.
    static constexpr std::uint32_t kReturnDescription = 0x01;
    static constexpr std::uint32_t kReturnLinkName = 0x02;
    static constexpr std::uint32_t kReturnVendorId = 0x03;
    // Time-outs until SI_SetTimeouts is called, ms.
    static constexpr std::uint32_t kDefaultTimeoutMs = 100;

    explicit LinuxUsbXpress(std::string sysfsRoot = "/sys", std::string deviceRoot = "/dev");
    ~LinuxUsbXpress() override;
    LinuxUsbXpress(const LinuxUsbXpress&) = delete;
    LinuxUsbXpress& operator=(const LinuxUsbXpress&) = delete;

    // Re-lists the bridges; device numbers of later calls index this list.
    int SI_GetNumDevices(std::uint32_t& count) override;
    int SI_GetProductString(std::uint32_t device, char* buffer, std::uint32_t flags) override;
    int SI_Open(std::uint32_t device, std::int32_t& handle) override;
    // Applies to every handle, as in the library.
    int SI_SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
    int SI_SetBaudRate(std::int32_t handle, std::uint32_t baud) override;
    int SI_CheckRXQueue(std::int32_t handle, std::uint32_t& queued, std::uint32_t& status) override;
    // Takes what has arrived (at most toRead bytes); waits up to the read time-out
    // only when nothing has. A time-out with nothing read is not an error.
    int SI_Read(std::int32_t handle, std::uint8_t* buffer, std::uint32_t toRead,
                std::uint32_t& got) override;
    int SI_FlushBuffers(std::int32_t handle, std::uint8_t transmit, std::uint8_t receive) override;
    // Writes everything and waits up to the write time-out for it to go out; what is
    // still unsent then is dropped and the call fails.
    int SI_Write(std::int32_t handle, const std::uint8_t* buffer, std::uint32_t length,
                 std::uint32_t& written) override;
    int SI_Close(std::int32_t handle) override;

    // What went wrong in the last failed call (for instance a device node the user
    // may not open); empty after a successful call.
    const std::string& LastError() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace delvar::platform
