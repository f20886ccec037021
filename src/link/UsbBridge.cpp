#include "link/UsbBridge.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "util/Text.h"

namespace delvar::link {

namespace {
constexpr std::size_t kMaxProductText = 255;
}

int UsbBridge::UsbDeviceCount() {
    std::uint32_t count = 0;
    if (Keep(lib_.SI_GetNumDevices(count)) != UsbXpress::kSuccess) return 0;
    return static_cast<int>(count);
}

std::string UsbBridge::ProductString(std::uint32_t device, std::uint32_t flags) {
    std::array<char, UsbXpress::kStringBufferSize> buffer{};
    Keep(lib_.SI_GetProductString(device, buffer.data(), flags));
    std::size_t length = strnlen(buffer.data(), kMaxProductText);
    return std::string(buffer.data(), length);
}

std::string UsbBridge::UsbSerialNumber(std::uint32_t device) {
    return ProductString(device, UsbXpress::kReturnSerialNumber);
}

std::string UsbBridge::UsbProductId(std::uint32_t device) {
    return ProductString(device, UsbXpress::kReturnProductId);
}

int UsbBridge::UsbOpen(std::uint32_t device, std::int32_t& handle) {
    int result = lib_.SI_Open(device, handle);
    if (result == UsbXpress::kSuccess) result = lib_.SI_SetTimeouts(kUsbTimeoutMs, kUsbTimeoutMs);
    if (result == UsbXpress::kSuccess) result = lib_.SI_SetBaudRate(handle, kUsbBaudRate);
    return Keep(result);
}

int UsbBridge::UsbClose(std::int32_t handle) {
    return Keep(lib_.SI_Close(handle));
}

int UsbBridge::UsbRead(std::int32_t handle, std::vector<std::uint8_t>& buffer,
                       std::size_t& copied) {
    copied = 0;
    std::uint32_t queued = 0;
    std::uint32_t queueStatus = 0;
    int result = lib_.SI_CheckRXQueue(handle, queued, queueStatus);
    if (result != UsbXpress::kSuccess || queueStatus != UsbXpress::kQueueReady) return Keep(result);
    std::array<std::uint8_t, UsbXpress::kStringBufferSize> chunk{};
    std::uint32_t got = 0;
    result = lib_.SI_Read(handle, chunk.data(), kUsbReadChunk, got);
    // Never trust the count beyond what was asked or what the caller can hold.
    copied = std::min<std::size_t>({got, kUsbReadChunk, buffer.size()});
    std::copy_n(chunk.begin(), copied, buffer.begin());
    return Keep(result);
}

int UsbBridge::UsbWrite(std::int32_t handle, const std::vector<std::uint8_t>& frame) {
    if (lib_.SI_FlushBuffers(handle, 1, 1) != UsbXpress::kSuccess) return Keep(kUsbFlushFailed);
    std::array<std::uint8_t, UsbXpress::kStringBufferSize> buffer{};
    std::size_t length = std::min(frame.size(), buffer.size());
    std::copy_n(frame.begin(), length, buffer.begin());
    std::uint32_t written = 0;
    return Keep(lib_.SI_Write(handle, buffer.data(), static_cast<std::uint32_t>(length), written));
}

bool UsbBridge::FindDelvar(const std::string& wantedSerial) {
    if (state_.UsbHandle > 0) {
        UsbClose(state_.UsbHandle);
        state_.UsbHandle = 0;
    }
    state_.UsbDeviceList.clear();
    bool found = false;
    const std::string wanted = util::ToUpper(wantedSerial);
    const int count = UsbDeviceCount();
    for (int i = 0; i < count; ++i) {
        auto device = static_cast<std::uint32_t>(i);
        std::int32_t trial = 0;
        if (util::ToUpper(UsbProductId(device)) == kDelvarProductId &&
            UsbOpen(device, trial) == UsbXpress::kSuccess) {
            std::string serial = UsbSerialNumber(device);
            state_.UsbDeviceList.push_back(serial);
            if (util::ToUpper(serial) == wanted) {
                state_.UsbHandle = trial;
                state_.UsbDeviceIndex = device;
                found = true;
            }
            UsbClose(trial);  // the connect reopens the chosen device
        }
        if (state_.UsbDeviceList.size() >= kUsbMaxDevices) break;
    }
    return found;
}

}  // namespace delvar::link
