// An in-memory USB bridge library. Every SI_* call is logged as a short text, e.g.
// "SI_Write(h1,5)", and open handles are tracked so a test can check that every trial
// handle was closed. A flush with receive set drops queued bytes, as on the wire: answer
// a frame from onWrite.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/Ports.h"

namespace delvar::testing {

struct FakeUsbDevice {
    std::string serialNumber;
    std::string productId = "8292";
    int openResult = link::UsbXpress::kSuccess;  // non-zero: SI_Open fails with it
    std::deque<std::uint8_t> rx;                 // bytes waiting to be read
    std::vector<link::Bytes> written;            // one entry per successful SI_Write
    std::uint32_t baudRate = 0;                  // last rate set on one of its handles
    // Called after each successful SI_Write with the frame; may Queue() a reply.
    std::function<void(const link::Bytes& frame)> onWrite;
};

class FakeUsbXpress final : public link::UsbXpress {
  public:
    // Adds a device and returns its device number.
    std::uint32_t AddDevice(std::string serialNumber, std::string productId = "8292");
    FakeUsbDevice& Device(std::uint32_t device) { return devices_.at(device); }
    // Appends bytes to what device will deliver to SI_Read.
    void Queue(std::uint32_t device, const link::Bytes& bytes);

    // The next call named `call` (e.g. "SI_FlushBuffers") returns code and does
    // nothing else; outputs are zeroed.
    void ForceResult(const std::string& call, int code) { forced_[call] = code; }

    const std::vector<std::string>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // Handles opened and not closed yet, in ascending order.
    std::vector<std::int32_t> OpenHandles() const;
    // Device a live handle belongs to; -1 when the handle is not open.
    int DeviceOf(std::int32_t handle) const;

    int SI_GetNumDevices(std::uint32_t& count) override;
    int SI_GetProductString(std::uint32_t device, char* buffer, std::uint32_t flags) override;
    int SI_Open(std::uint32_t device, std::int32_t& handle) override;
    int SI_SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
    int SI_SetBaudRate(std::int32_t handle, std::uint32_t baud) override;
    int SI_CheckRXQueue(std::int32_t handle, std::uint32_t& queued, std::uint32_t& status) override;
    int SI_Read(std::int32_t handle, std::uint8_t* buffer, std::uint32_t toRead,
                std::uint32_t& got) override;
    int SI_FlushBuffers(std::int32_t handle, std::uint8_t transmit, std::uint8_t receive) override;
    int SI_Write(std::int32_t handle, const std::uint8_t* buffer, std::uint32_t length,
                 std::uint32_t& written) override;
    int SI_Close(std::int32_t handle) override;

  private:
    // Logs the call; the forced result when one applies to it.
    std::optional<int> Forced(const std::string& name, const std::string& args);
    FakeUsbDevice* DeviceFor(std::int32_t handle);

    std::vector<FakeUsbDevice> devices_;
    std::map<std::int32_t, std::uint32_t> open_;  // handle -> device number
    std::map<std::string, int> forced_;
    std::vector<std::string> calls_;
    std::int32_t nextHandle_ = 1;
};

}  // namespace delvar::testing
