// Wrappers over the USB bridge library: each makes its calls in a fixed order and
// keeps the library's result in UsbStatus.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/Ports.h"

namespace delvar::link {

inline constexpr std::uint32_t kUsbBaudRate = 115200;  // bridge side, whatever RS232Baud says
inline constexpr std::uint32_t kUsbTimeoutMs = 100;    // library read and write time-outs
inline constexpr std::uint32_t kUsbReadChunk = 252;    // bytes asked per read
inline constexpr std::size_t kUsbMaxDevices = 8;       // devices the search lists
inline constexpr int kUsbFlushFailed = 255;
inline constexpr const char* kDelvarProductId = "8292";

struct UsbState {
    std::int32_t UsbHandle = 0;  // 0 = none open
    std::uint32_t UsbDeviceIndex = 0;
    std::vector<std::string> UsbDeviceList;  // serial numbers found by the search
    int UsbStatus = 0;
};

class UsbBridge {
  public:
    UsbBridge(UsbXpress& library, UsbState& state) : lib_(library), state_(state) {}

    int UsbDeviceCount();
    std::string UsbSerialNumber(std::uint32_t device);
    std::string UsbProductId(std::uint32_t device);
    int UsbOpen(std::uint32_t device, std::int32_t& handle);
    int UsbClose(std::int32_t handle);
    // Copies what is queued (at most 252 bytes) to buffer from index 0; copied says
    // how many. 0 with nothing copied when no data is ready.
    int UsbRead(std::int32_t handle, std::vector<std::uint8_t>& buffer, std::size_t& copied);
    // Flushes both directions, then writes the frame (at most 257 bytes).
    int UsbWrite(std::int32_t handle, const std::vector<std::uint8_t>& frame);

    // Lists the Delvar bridges (at most 8) and reports whether one has the wanted
    // serial number; that one becomes UsbDeviceIndex. Every trial handle is closed.
    bool FindDelvar(const std::string& wantedSerial);

  private:
    std::string ProductString(std::uint32_t device, std::uint32_t flags);
    int Keep(int result) { return state_.UsbStatus = result; }

    UsbXpress& lib_;
    UsbState& state_;
};

}  // namespace delvar::link
