// The small interfaces the link talks through. Adapters live in platform/;
// tests replace them with in-memory fakes.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace delvar::link {

using Bytes = std::vector<std::uint8_t>;
using TimePoint = std::chrono::steady_clock::time_point;

// Serial line, opened by device path; 8-N-1 raw, no flow control.
class SerialPort {
  public:
    virtual ~SerialPort() = default;
    // Device path that port number n (1..9) stands for.
    virtual void SetPortNumber(int n) = 0;
    virtual int PortNumber() const = 0;
    // Line rate in baud; the line is always 8 data bits, no parity, 1 stop bit.
    virtual void SetBaudRate(int baud) = 0;
    virtual void SetInputBufferSize(int bytes) = 0;
    virtual bool Open() = 0;  // false on error
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual int BytesWaiting() const = 0;  // -1 when the port cannot tell (error)
    virtual bool ReadByte(std::uint8_t& b) = 0;
    virtual bool Write(const Bytes& bytes) = 0;
    virtual void DiscardInput() = 0;
};

// TCP client socket.
class TcpSocket {
  public:
    static constexpr int kConnected = 7;  // state value of an established connection
    virtual ~TcpSocket() = default;
    virtual void ConnectTo(const std::string& host, std::uint16_t port) = 0;
    virtual int State() const = 0;  // 0 closed ... 7 connected
    virtual int BytesReceived() const = 0;
    virtual Bytes ReadAll() = 0;
    virtual bool Send(const Bytes& bytes) = 0;
    virtual void Close() = 0;
};

// The ten calls of the USB bridge library, with its result codes (0 = success).
class UsbXpress {
  public:
    static constexpr int kSuccess = 0x00;
    static constexpr int kInvalidHandle = 0x01;
    static constexpr int kReadError = 0x02;
    static constexpr int kWriteError = 0x04;
    static constexpr int kDeviceNotFound = 0xFF;
    static constexpr std::uint32_t kReturnSerialNumber = 0x00;
    static constexpr std::uint32_t kReturnProductId = 0x04;
    static constexpr std::uint32_t kQueueReady = 0x02;
    static constexpr std::size_t kStringBufferSize = 257;

    virtual ~UsbXpress() = default;
    virtual int SI_GetNumDevices(std::uint32_t& count) = 0;
    // Writes a zero-terminated text into buffer (kStringBufferSize bytes).
    virtual int SI_GetProductString(std::uint32_t device, char* buffer, std::uint32_t flags) = 0;
    virtual int SI_Open(std::uint32_t device, std::int32_t& handle) = 0;
    virtual int SI_SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) = 0;
    virtual int SI_SetBaudRate(std::int32_t handle, std::uint32_t baud) = 0;
    virtual int SI_CheckRXQueue(std::int32_t handle, std::uint32_t& queued,
                                std::uint32_t& status) = 0;
    virtual int SI_Read(std::int32_t handle, std::uint8_t* buffer, std::uint32_t toRead,
                        std::uint32_t& got) = 0;
    virtual int SI_FlushBuffers(std::int32_t handle, std::uint8_t transmit,
                                std::uint8_t receive) = 0;
    virtual int SI_Write(std::int32_t handle, const std::uint8_t* buffer, std::uint32_t length,
                         std::uint32_t& written) = 0;
    virtual int SI_Close(std::int32_t handle) = 0;
};

// Runs pending window events while the link waits. With mayWait it sleeps until
// an event arrives (a received byte is one) or until wakeBy, whichever is first.
class EventPump {
  public:
    virtual ~EventPump() = default;
    virtual void ProcessEvents(TimePoint wakeBy, bool mayWait) = 0;
    // Runs task from the event loop once the current event (and the code it runs) is over.
    virtual void Post(std::function<void()> task) = 0;
};

// Monotonic time source for the reply and connect budgets.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
};

class SteadyClock final : public Clock {
  public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace delvar::link
