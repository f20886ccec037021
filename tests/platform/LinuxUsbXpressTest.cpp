#include "platform/LinuxUsbXpress.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <array>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/FakeSysfs.h"

namespace delvar::platform {
namespace {

using link::Bytes;
using link::UsbXpress;
using testing::FakeSysfs;
using namespace std::chrono_literals;

std::string ProductString(LinuxUsbXpress& usb, std::uint32_t device, std::uint32_t flags,
                          int* result = nullptr) {
    std::array<char, UsbXpress::kStringBufferSize> buffer{};
    int code = usb.SI_GetProductString(device, buffer.data(), flags);
    if (result) *result = code;
    return std::string(buffer.data());
}

// A sysfs with two Silicon Labs bridges (tty names chosen so that plain string order
// and natural order differ), a bridge of another vendor, an on-board UART and a
// virtual console.
class LinuxUsbXpressListing : public ::testing::Test {
  protected:
    void SetUp() override {
        fs.AddUsbTty("ttyUSB10", fs.AddUsbDevice("1-2", "10c4", "ea60", std::nullopt));
        fs.AddUsbTty("ttyUSB2", fs.AddUsbDevice("1-1", "10c4", "8292", "DLV0042"));
        fs.AddUsbTty("ttyUSB0", fs.AddUsbDevice("1-3", "0403", "6001", "FTDI1"));
        fs.AddPlatformTty("ttyS0");
        fs.AddVirtualTty("tty1");
    }
    FakeSysfs fs;
};

TEST_F(LinuxUsbXpressListing, ListsOnlySiliconLabsTtysInNaturalOrderWithTheirTexts) {
    fs.AddUsbTty("ttyUSB3", fs.AddUsbDevice("1-4", "10C4", "8292", std::string(400, 'S')));
    LinuxUsbXpress usb(fs.SysRoot(), fs.DevRoot());
    std::uint32_t count = 99;
    ASSERT_EQ(usb.SI_GetNumDevices(count), UsbXpress::kSuccess);
    ASSERT_EQ(count, 3u);  // upper-case vendor text counts too
    EXPECT_EQ(ProductString(usb, 0, LinuxUsbXpress::kReturnLinkName), fs.DevRoot() + "/ttyUSB2");
    EXPECT_EQ(ProductString(usb, 0, UsbXpress::kReturnSerialNumber), "DLV0042");  // trimmed
    EXPECT_EQ(ProductString(usb, 0, UsbXpress::kReturnProductId), "8292");
    EXPECT_EQ(ProductString(usb, 0, LinuxUsbXpress::kReturnVendorId), "10c4");
    EXPECT_EQ(ProductString(usb, 0, LinuxUsbXpress::kReturnDescription), "CP2102 USB to UART");
    // A long serial is cut to 255 characters, and nothing is written past its end.
    std::array<char, UsbXpress::kStringBufferSize> buffer;
    buffer.fill('x');
    ASSERT_EQ(usb.SI_GetProductString(1, buffer.data(), 0), UsbXpress::kSuccess);
    EXPECT_EQ(std::string(buffer.data()), std::string(255, 'S'));
    EXPECT_EQ(buffer[256], 'x');
    // A device without a serial file has an empty serial; ttyUSB10 comes after ttyUSB3.
    int result = -1;
    EXPECT_EQ(ProductString(usb, 2, UsbXpress::kReturnSerialNumber, &result), "");
    EXPECT_EQ(result, UsbXpress::kSuccess);
    EXPECT_EQ(ProductString(usb, 2, UsbXpress::kReturnProductId), "ea60");
}

TEST_F(LinuxUsbXpressListing, BadNumbersOptionsAndMissingNodesAreRefused) {
    LinuxUsbXpress usb(fs.SysRoot(), fs.DevRoot());
    int result = 0;
    // Without a prior count the list is made on first use.
    EXPECT_EQ(ProductString(usb, 2, UsbXpress::kReturnSerialNumber, &result), "");
    EXPECT_EQ(result, UsbXpress::kDeviceNotFound);
    EXPECT_EQ(ProductString(usb, 0, 7, &result), "");
    EXPECT_EQ(result, LinuxUsbXpress::kInvalidParameter);
    EXPECT_EQ(usb.SI_GetProductString(0, nullptr, 0), LinuxUsbXpress::kInvalidParameter);
    std::int32_t handle = 0;
    EXPECT_EQ(usb.SI_Open(2, handle), UsbXpress::kDeviceNotFound);
    EXPECT_EQ(usb.SI_Open(0, handle), UsbXpress::kDeviceNotFound);  // no device node
    EXPECT_EQ(handle, 0);
    EXPECT_NE(usb.LastError().find("ttyUSB2"), std::string::npos);
    LinuxUsbXpress none("/nonexistent/delvar-sys", "/nonexistent/delvar-dev");
    std::uint32_t count = 5;
    EXPECT_EQ(none.SI_GetNumDevices(count), UsbXpress::kSuccess);
    EXPECT_EQ(count, 0u);
}

TEST_F(LinuxUsbXpressListing, EachCountListsAfresh) {
    LinuxUsbXpress usb(fs.SysRoot(), fs.DevRoot());
    std::uint32_t count = 0;
    ASSERT_EQ(usb.SI_GetNumDevices(count), UsbXpress::kSuccess);
    fs.AddUsbTty("ttyUSB1", fs.AddUsbDevice("1-5", "10c4", "8292", "NEW"));
    EXPECT_EQ(ProductString(usb, 0, 0), "DLV0042");  // numbers hold until the next count
    ASSERT_EQ(usb.SI_GetNumDevices(count), UsbXpress::kSuccess);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(ProductString(usb, 0, 0), "NEW");
}

// The test's end of a pseudo-terminal whose slave stands in for the bridge's tty.
class PtyMaster {
  public:
    PtyMaster() {
        fd_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (fd_ >= 0 && grantpt(fd_) == 0 && unlockpt(fd_) == 0) slave_ = ptsname(fd_);
    }
    ~PtyMaster() {
        if (fd_ >= 0) close(fd_);
    }
    bool Ok() const { return !slave_.empty(); }
    // Closing the master is what pulling the bridge's plug looks like to the tty.
    void HangUp() {
        close(fd_);
        fd_ = -1;
    }
    const std::string& SlavePath() const { return slave_; }
    bool Write(const Bytes& bytes) const {
        return write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // Reads until count bytes have come or the time is up.
    Bytes Read(std::size_t count, std::chrono::milliseconds within = 2s) const {
        Bytes got;
        auto deadline = std::chrono::steady_clock::now() + within;
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            std::array<std::uint8_t, 512> chunk{};
            ssize_t n = read(fd_, chunk.data(), std::min(chunk.size(), count - got.size()));
            if (n <= 0) break;
            got.insert(got.end(), chunk.begin(), chunk.begin() + n);
        }
        return got;
    }

  private:
    int fd_ = -1;
    std::string slave_;
};

// Every byte value a frame may carry, including the ones a cooked tty would eat or
// translate (NUL, ^C, ^S, CR, LF, DEL).
const Bytes kAwkwardBytes{0x02, 0x00, 0x03, 0x13, 0x11, 0x0d, 0x0a, 0x7f, 0xff, 0x04, 0x1a};

class LinuxUsbXpressPort : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok()) << "no pseudo-terminal available";
        fs.AddUsbTty("ttyUSB0", fs.AddUsbDevice("1-1", "10c4", "8292", "DLV0001"));
        fs.LinkDeviceNode("ttyUSB0", pty.SlavePath());
        std::uint32_t count = 0;
        ASSERT_EQ(usb.SI_GetNumDevices(count), UsbXpress::kSuccess);
        ASSERT_EQ(count, 1u);
        ASSERT_EQ(usb.SI_Open(0, handle), UsbXpress::kSuccess) << usb.LastError();
        ASSERT_GT(handle, 0);
        ASSERT_EQ(usb.SI_SetTimeouts(100, 100), UsbXpress::kSuccess);
        ASSERT_EQ(usb.SI_SetBaudRate(handle, 115200), UsbXpress::kSuccess);
    }

    // Lets Qt's event loop and the driver deliver bytes until n are queued (or 2 s).
    std::uint32_t WaitForQueued(std::uint32_t n) {
        std::uint32_t queued = 0;
        std::uint32_t status = 0;
        auto deadline = std::chrono::steady_clock::now() + 2s;
        while (std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents();
            EXPECT_EQ(usb.SI_CheckRXQueue(handle, queued, status), UsbXpress::kSuccess);
            if (queued >= n) break;
            std::this_thread::sleep_for(2ms);
        }
        EXPECT_EQ(status, queued > 0 ? UsbXpress::kQueueReady : 0u);
        return queued;
    }

    PtyMaster pty;
    FakeSysfs fs;
    LinuxUsbXpress usb{fs.SysRoot(), fs.DevRoot()};
    std::int32_t handle = 0;
};

TEST_F(LinuxUsbXpressPort, BytesCrossUnchangedBothWaysAndAreReadInPieces) {
    std::uint32_t written = 0;
    ASSERT_EQ(usb.SI_Write(handle, kAwkwardBytes.data(), kAwkwardBytes.size(), written),
              UsbXpress::kSuccess)
        << usb.LastError();
    EXPECT_EQ(written, kAwkwardBytes.size());
    EXPECT_EQ(pty.Read(kAwkwardBytes.size()), kAwkwardBytes);

    EXPECT_EQ(WaitForQueued(0), 0u);
    ASSERT_TRUE(pty.Write(kAwkwardBytes));
    ASSERT_EQ(WaitForQueued(kAwkwardBytes.size()), kAwkwardBytes.size());
    std::array<std::uint8_t, UsbXpress::kStringBufferSize> buffer{};
    std::uint32_t got = 0;
    ASSERT_EQ(usb.SI_Read(handle, buffer.data(), 4, got), UsbXpress::kSuccess);
    ASSERT_EQ(got, 4u);
    EXPECT_EQ(WaitForQueued(0), kAwkwardBytes.size() - 4);
    ASSERT_EQ(usb.SI_Read(handle, buffer.data() + 4, 252, got), UsbXpress::kSuccess);
    ASSERT_EQ(got, kAwkwardBytes.size() - 4);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + kAwkwardBytes.size()), kAwkwardBytes);
    // With nothing more arriving a read ends after its time-out, reading nothing.
    ASSERT_EQ(usb.SI_SetTimeouts(30, 30), UsbXpress::kSuccess);
    got = 7;
    EXPECT_EQ(usb.SI_Read(handle, buffer.data(), 16, got), UsbXpress::kSuccess);
    EXPECT_EQ(got, 0u);
}

TEST_F(LinuxUsbXpressPort, ArrivingBytesWakeTheEventLoop) {
    QCoreApplication::processEvents();
    // Only the port can end this wait early; the timer is the fall-back.
    QTimer fallback;
    fallback.setSingleShot(true);
    fallback.start(3000);
    std::thread writer([this] {
        std::this_thread::sleep_for(50ms);
        pty.Write({0x41});
    });
    auto start = std::chrono::steady_clock::now();
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    auto waited = std::chrono::steady_clock::now() - start;
    writer.join();
    EXPECT_LT(waited, 2s);
    EXPECT_EQ(WaitForQueued(1), 1u);
}

TEST_F(LinuxUsbXpressPort, FlushingReceiveDropsWhatArrived) {
    ASSERT_TRUE(pty.Write(kAwkwardBytes));
    ASSERT_EQ(WaitForQueued(kAwkwardBytes.size()), kAwkwardBytes.size());
    EXPECT_EQ(usb.SI_FlushBuffers(handle, 0, 0), UsbXpress::kSuccess);
    EXPECT_EQ(WaitForQueued(0), kAwkwardBytes.size());  // no direction named: kept
    EXPECT_EQ(usb.SI_FlushBuffers(handle, 1, 1), UsbXpress::kSuccess) << usb.LastError();
    EXPECT_EQ(WaitForQueued(0), 0u);
    // The port still works after the flush.
    ASSERT_TRUE(pty.Write({0x55}));
    EXPECT_EQ(WaitForQueued(1), 1u);
}

TEST_F(LinuxUsbXpressPort, BadArgumentsAndStaleHandlesAreRefused) {
    std::uint32_t count = 9;
    EXPECT_EQ(usb.SI_SetBaudRate(handle, 0), LinuxUsbXpress::kInvalidBaudRate);
    EXPECT_EQ(usb.SI_Write(handle, nullptr, 5, count), LinuxUsbXpress::kInvalidParameter);
    EXPECT_EQ(usb.SI_Read(handle, nullptr, 5, count), LinuxUsbXpress::kInvalidParameter);
    EXPECT_TRUE(pty.Read(1, 100ms).empty());
    std::int32_t second = 0;
    EXPECT_NE(usb.SI_Open(0, second), UsbXpress::kSuccess);  // open once only
    ASSERT_EQ(usb.SI_Close(handle), UsbXpress::kSuccess);
    ASSERT_EQ(usb.SI_Open(0, second), UsbXpress::kSuccess) << usb.LastError();
    EXPECT_NE(second, handle);  // a stale handle must not reach the new port
    for (std::int32_t bad : {handle, 0, -1}) {
        SCOPED_TRACE(bad);
        std::uint32_t queued = 9, status = 9;
        std::array<std::uint8_t, 8> buffer{};
        EXPECT_EQ(usb.SI_CheckRXQueue(bad, queued, status), UsbXpress::kInvalidHandle);
        EXPECT_EQ(queued + status, 0u);
        EXPECT_EQ(usb.SI_Read(bad, buffer.data(), 8, count), UsbXpress::kInvalidHandle);
        EXPECT_EQ(usb.SI_Write(bad, buffer.data(), 8, count), UsbXpress::kInvalidHandle);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(usb.SI_FlushBuffers(bad, 1, 1), UsbXpress::kInvalidHandle);
        EXPECT_EQ(usb.SI_Close(bad), UsbXpress::kInvalidHandle);
    }
    handle = second;
}

TEST_F(LinuxUsbXpressPort, UnpluggedDeviceReportsErrorsPromptly) {
    pty.HangUp();
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 2; ++round) {  // and they stay
        QCoreApplication::processEvents();
        std::uint32_t queued = 9, status = 9;
        EXPECT_EQ(usb.SI_CheckRXQueue(handle, queued, status), UsbXpress::kReadError);
        EXPECT_EQ(status, 0u);
        std::array<std::uint8_t, 8> buffer{};
        std::uint32_t count = 9;
        EXPECT_EQ(usb.SI_Read(handle, buffer.data(), 8, count), UsbXpress::kReadError);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(usb.SI_Write(handle, buffer.data(), 8, count), UsbXpress::kWriteError);
        EXPECT_EQ(count, 0u);
        EXPECT_FALSE(usb.LastError().empty());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_EQ(usb.SI_Close(handle), UsbXpress::kSuccess);
}

}  // namespace
}  // namespace delvar::platform
