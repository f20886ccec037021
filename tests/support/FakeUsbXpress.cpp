#include "support/FakeUsbXpress.h"

#include <algorithm>
#include <cstring>

namespace delvar::testing {

namespace {
constexpr std::size_t kMaxProductText = link::UsbXpress::kStringBufferSize - 2;

std::string HandleText(std::int32_t handle) {
    std::string text = std::to_string(handle);
    return text.insert(0, 1, 'h');
}
}  // namespace

std::uint32_t FakeUsbXpress::AddDevice(std::string serialNumber, std::string productId) {
    FakeUsbDevice device;
    device.serialNumber = std::move(serialNumber);
    device.productId = std::move(productId);
    devices_.push_back(std::move(device));
    return static_cast<std::uint32_t>(devices_.size() - 1);
}

void FakeUsbXpress::Queue(std::uint32_t device, const link::Bytes& bytes) {
    auto& rx = devices_.at(device).rx;
    rx.insert(rx.end(), bytes.begin(), bytes.end());
}

std::vector<std::int32_t> FakeUsbXpress::OpenHandles() const {
    std::vector<std::int32_t> handles;
    for (const auto& [handle, device] : open_) handles.push_back(handle);
    return handles;
}

int FakeUsbXpress::DeviceOf(std::int32_t handle) const {
    auto it = open_.find(handle);
    return it == open_.end() ? -1 : static_cast<int>(it->second);
}

std::optional<int> FakeUsbXpress::Forced(const std::string& name, const std::string& args) {
    calls_.push_back(args.empty() ? name : name + "(" + args + ")");
    auto it = forced_.find(name);
    if (it == forced_.end()) return std::nullopt;
    const int code = it->second;
    forced_.erase(it);
    return code;
}

FakeUsbDevice* FakeUsbXpress::DeviceFor(std::int32_t handle) {
    auto it = open_.find(handle);
    return it == open_.end() ? nullptr : &devices_[it->second];
}

int FakeUsbXpress::SI_GetNumDevices(std::uint32_t& count) {
    count = 0;
    if (auto forced = Forced("SI_GetNumDevices", "")) return *forced;
    count = static_cast<std::uint32_t>(devices_.size());
    return kSuccess;
}

int FakeUsbXpress::SI_GetProductString(std::uint32_t device, char* buffer, std::uint32_t flags) {
    if (buffer) buffer[0] = '\0';
    if (auto forced =
            Forced("SI_GetProductString", std::to_string(device) + "," + std::to_string(flags)))
        return *forced;
    if (device >= devices_.size()) return kDeviceNotFound;
    if (!buffer) return kSuccess;
    // Only the two texts the search asks for are modelled; other options give "".
    std::string text;
    if (flags == kReturnSerialNumber) text = devices_[device].serialNumber;
    if (flags == kReturnProductId) text = devices_[device].productId;
    std::size_t length = std::min(text.size(), kMaxProductText);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return kSuccess;
}

int FakeUsbXpress::SI_Open(std::uint32_t device, std::int32_t& handle) {
    if (auto forced = Forced("SI_Open", std::to_string(device))) return *forced;
    if (device >= devices_.size()) return kDeviceNotFound;
    if (devices_[device].openResult != kSuccess) return devices_[device].openResult;
    handle = nextHandle_++;
    open_[handle] = device;
    return kSuccess;
}

int FakeUsbXpress::SI_SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
    return Forced("SI_SetTimeouts", std::to_string(readMs) + "," + std::to_string(writeMs))
        .value_or(kSuccess);
}

int FakeUsbXpress::SI_SetBaudRate(std::int32_t handle, std::uint32_t baud) {
    if (auto forced = Forced("SI_SetBaudRate", HandleText(handle) + "," + std::to_string(baud)))
        return *forced;
    FakeUsbDevice* device = DeviceFor(handle);
    if (!device) return kInvalidHandle;
    device->baudRate = baud;
    return kSuccess;
}

int FakeUsbXpress::SI_CheckRXQueue(std::int32_t handle, std::uint32_t& queued,
                                   std::uint32_t& status) {
    queued = 0;
    status = 0;
    if (auto forced = Forced("SI_CheckRXQueue", HandleText(handle))) return *forced;
    FakeUsbDevice* device = DeviceFor(handle);
    if (!device) return kInvalidHandle;
    queued = static_cast<std::uint32_t>(device->rx.size());
    status = queued > 0 ? kQueueReady : 0;
    return kSuccess;
}

int FakeUsbXpress::SI_Read(std::int32_t handle, std::uint8_t* buffer, std::uint32_t toRead,
                           std::uint32_t& got) {
    got = 0;
    if (auto forced = Forced("SI_Read", HandleText(handle) + "," + std::to_string(toRead)))
        return *forced;
    FakeUsbDevice* device = DeviceFor(handle);
    if (!device) return kInvalidHandle;
    if (!buffer) return kReadError;
    std::size_t count = std::min<std::size_t>(toRead, device->rx.size());
    std::copy_n(device->rx.begin(), count, buffer);
    device->rx.erase(device->rx.begin(), device->rx.begin() + static_cast<long>(count));
    got = static_cast<std::uint32_t>(count);
    return kSuccess;
}

int FakeUsbXpress::SI_FlushBuffers(std::int32_t handle, std::uint8_t transmit,
                                   std::uint8_t receive) {
    const std::string args =
        HandleText(handle) + "," + std::to_string(transmit) + "," + std::to_string(receive);
    if (auto forced = Forced("SI_FlushBuffers", args)) return *forced;
    FakeUsbDevice* device = DeviceFor(handle);
    if (!device) return kInvalidHandle;
    if (receive) device->rx.clear();
    return kSuccess;
}

int FakeUsbXpress::SI_Write(std::int32_t handle, const std::uint8_t* buffer, std::uint32_t length,
                            std::uint32_t& written) {
    written = 0;
    if (auto forced = Forced("SI_Write", HandleText(handle) + "," + std::to_string(length)))
        return *forced;
    FakeUsbDevice* device = DeviceFor(handle);
    if (!device) return kInvalidHandle;
    if (!buffer && length > 0) return kWriteError;
    link::Bytes frame(buffer, buffer + length);
    device->written.push_back(frame);
    written = length;
    // Copy the callback: it may replace itself or add devices.
    auto onWrite = device->onWrite;
    if (onWrite) onWrite(frame);
    return kSuccess;
}

int FakeUsbXpress::SI_Close(std::int32_t handle) {
    if (auto forced = Forced("SI_Close", HandleText(handle))) return *forced;
    return open_.erase(handle) > 0 ? kSuccess : kInvalidHandle;
}

}  // namespace delvar::testing
