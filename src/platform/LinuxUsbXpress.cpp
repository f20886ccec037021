#include "platform/LinuxUsbXpress.h"

#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QSerialPort>
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string_view>

#include "util/Text.h"

namespace delvar::platform {

namespace fs = std::filesystem;

namespace {

Q_LOGGING_CATEGORY(lcUsb, "delvar.usb", QtWarningMsg)

constexpr std::size_t kMaxProductText = link::UsbXpress::kStringBufferSize - 2;  // 255
constexpr std::size_t kMaxAttributeBytes = 4096;                                 // one sysfs page
constexpr std::uint32_t kBridgeBaudRate = 115200;

// First line of a sysfs attribute, without surrounding white space; empty when the
// file is missing or unreadable.
std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::string text(kMaxAttributeBytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    text = text.substr(0, text.find_first_of(std::string_view("\n\0", 2)));
    auto isBlank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

bool IsWithin(const fs::path& path, const fs::path& root) {
    auto [rootEnd, pathPos] = std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    return rootEnd == root.end();
}

// The nearest directory at or above start (and inside root) that describes a USB
// device, i.e. holds an idVendor attribute.
std::optional<fs::path> FindUsbDevice(fs::path start, const fs::path& root) {
    std::error_code ec;
    for (fs::path dir = std::move(start); IsWithin(dir, root); dir = dir.parent_path()) {
        if (fs::is_regular_file(dir / "idVendor", ec)) return dir;
        if (dir == dir.parent_path()) break;
    }
    return std::nullopt;
}

// Three-way comparison with runs of digits compared by value.
int NaturalCompare(std::string_view a, std::string_view b) {
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t endA = i;
            std::size_t endB = j;
            while (endA < a.size() && isDigit(a[endA])) ++endA;
            while (endB < b.size() && isDigit(b[endB])) ++endB;
            while (i + 1 < endA && a[i] == '0') ++i;
            while (j + 1 < endB && b[j] == '0') ++j;
            std::string_view da = a.substr(i, endA - i);
            std::string_view db = b.substr(j, endB - j);
            if (da.size() != db.size()) return da.size() < db.size() ? -1 : 1;
            if (int c = da.compare(db); c != 0) return c;
            i = endA;
            j = endB;
        } else {
            if (a[i] != b[j])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
            ++i;
            ++j;
        }
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

int ClampMs(std::uint32_t ms) {
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

// Pulls whatever the driver holds into the port's buffer without waiting.
void PullArrived(QSerialPort& port) {
    port.waitForReadyRead(0);
    if (port.error() == QSerialPort::TimeoutError) port.clearError();
}

bool HasFailed(const QSerialPort& port) {
    return port.error() == QSerialPort::ResourceError || port.error() == QSerialPort::ReadError;
}

}  // namespace

std::vector<UsbBridgeInfo> ListSiliconLabsBridges(const std::string& sysfsRoot,
                                                  const std::string& deviceRoot) {
    std::vector<UsbBridgeInfo> bridges;
    std::error_code ec;
    const fs::path root = fs::canonical(sysfsRoot, ec);
    if (ec) return bridges;
    const std::string wantedVendor = util::ToUpper(kSiliconLabsVendorId);
    fs::directory_iterator it(root / "class" / "tty", ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code linkError;
        fs::path device = fs::canonical(it->path() / "device", linkError);
        if (linkError) continue;  // a virtual tty without hardware behind it
        std::optional<fs::path> usb = FindUsbDevice(device, root);
        if (!usb) continue;
        UsbBridgeInfo info;
        info.vendorId = ReadAttribute(*usb / "idVendor");
        if (util::ToUpper(info.vendorId) != wantedVendor) continue;
        info.ttyName = it->path().filename().string();
        info.devicePath = (fs::path(deviceRoot) / info.ttyName).string();
        info.productId = ReadAttribute(*usb / "idProduct");
        info.serialNumber = ReadAttribute(*usb / "serial");
        info.description = ReadAttribute(*usb / "product");
        bridges.push_back(std::move(info));
    }
    std::stable_sort(bridges.begin(), bridges.end(), [](const auto& a, const auto& b) {
        int c = NaturalCompare(a.ttyName, b.ttyName);
        return c != 0 ? c < 0 : a.ttyName < b.ttyName;
    });
    return bridges;
}

struct LinuxUsbXpress::Impl {
    std::string sysfsRoot;
    std::string deviceRoot;
    std::optional<std::vector<UsbBridgeInfo>> devices;  // as of the last listing
    struct OpenPort {
        std::string path;
        std::unique_ptr<QSerialPort> port;
    };
    std::map<std::int32_t, OpenPort> ports;
    std::int32_t nextHandle = 1;
    int readTimeoutMs = static_cast<int>(kDefaultTimeoutMs);
    int writeTimeoutMs = static_cast<int>(kDefaultTimeoutMs);
    std::string lastError;

    const std::vector<UsbBridgeInfo>& Devices() {
        if (!devices) devices = ListSiliconLabsBridges(sysfsRoot, deviceRoot);
        return *devices;
    }

    QSerialPort* Port(std::int32_t handle) {
        auto it = ports.find(handle);
        return it == ports.end() ? nullptr : it->second.port.get();
    }

    std::int32_t NewHandle() {
        std::int32_t handle = nextHandle;
        while (handle <= 0 || ports.count(handle)) handle = handle == INT32_MAX ? 1 : handle + 1;
        nextHandle = handle == INT32_MAX ? 1 : handle + 1;
        return handle;
    }

    int Ok() {
        lastError.clear();
        return kSuccess;
    }

    int Fail(int code, const std::string& what) {
        lastError = what;
        qCDebug(lcUsb, "%s (code %d)", what.c_str(), code);
        return code;
    }

    int InvalidHandle(std::int32_t handle) {
        return Fail(kInvalidHandle, "no open USB device with handle " + std::to_string(handle));
    }
};

LinuxUsbXpress::LinuxUsbXpress(std::string sysfsRoot, std::string deviceRoot)
    : impl_(std::make_unique<Impl>()) {
    impl_->sysfsRoot = std::move(sysfsRoot);
    impl_->deviceRoot = std::move(deviceRoot);
}

LinuxUsbXpress::~LinuxUsbXpress() = default;

const std::string& LinuxUsbXpress::LastError() const {
    return impl_->lastError;
}

int LinuxUsbXpress::SI_GetNumDevices(std::uint32_t& count) {
    impl_->devices = ListSiliconLabsBridges(impl_->sysfsRoot, impl_->deviceRoot);
    count = static_cast<std::uint32_t>(impl_->devices->size());
    return impl_->Ok();
}

int LinuxUsbXpress::SI_GetProductString(std::uint32_t device, char* buffer, std::uint32_t flags) {
    if (!buffer) return impl_->Fail(kInvalidParameter, "no buffer for the product string");
    buffer[0] = '\0';
    const auto& devices = impl_->Devices();
    if (device >= devices.size())
        return impl_->Fail(kDeviceNotFound, "no USB bridge number " + std::to_string(device));
    const UsbBridgeInfo& info = devices[device];
    const std::string* text = nullptr;
    switch (flags) {
        case kReturnSerialNumber:
            text = &info.serialNumber;
            break;
        case kReturnDescription:
            text = &info.description;
            break;
        case kReturnLinkName:
            text = &info.devicePath;
            break;
        case kReturnVendorId:
            text = &info.vendorId;
            break;
        case kReturnProductId:
            text = &info.productId;
            break;
        default:
            return impl_->Fail(kInvalidParameter,
                               "unknown product string option " + std::to_string(flags));
    }
    std::size_t length = std::min(text->size(), kMaxProductText);
    std::memcpy(buffer, text->data(), length);
    buffer[length] = '\0';
    return impl_->Ok();
}

int LinuxUsbXpress::SI_Open(std::uint32_t device, std::int32_t& handle) {
    const auto& devices = impl_->Devices();
    if (device >= devices.size())
        return impl_->Fail(kDeviceNotFound, "no USB bridge number " + std::to_string(device));
    const std::string& path = devices[device].devicePath;
    for (const auto& [open, entry] : impl_->ports)
        if (entry.path == path) return impl_->Fail(kDeviceIoFailed, path + " is already open");

    auto port = std::make_unique<QSerialPort>();
    port->setPortName(QString::fromStdString(path));
    port->setBaudRate(kBridgeBaudRate);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    if (!port->open(QIODevice::ReadWrite)) {
        const bool missing = port->error() == QSerialPort::DeviceNotFoundError;
        std::string what = "cannot open " + path + ": " + port->errorString().toStdString();
        qCWarning(lcUsb, "%s", what.c_str());
        return impl_->Fail(missing ? kDeviceNotFound : kDeviceIoFailed, what);
    }
    handle = impl_->NewHandle();
    impl_->ports[handle] = Impl::OpenPort{path, std::move(port)};
    return impl_->Ok();
}

int LinuxUsbXpress::SI_SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
    impl_->readTimeoutMs = ClampMs(readMs);
    impl_->writeTimeoutMs = ClampMs(writeMs);
    return impl_->Ok();
}

int LinuxUsbXpress::SI_SetBaudRate(std::int32_t handle, std::uint32_t baud) {
    QSerialPort* port = impl_->Port(handle);
    if (!port) return impl_->InvalidHandle(handle);
    if (baud == 0 || baud > INT32_MAX || !port->setBaudRate(static_cast<qint32>(baud)))
        return impl_->Fail(kInvalidBaudRate, "baud rate " + std::to_string(baud) + " refused");
    return impl_->Ok();
}

int LinuxUsbXpress::SI_CheckRXQueue(std::int32_t handle, std::uint32_t& queued,
                                    std::uint32_t& status) {
    queued = 0;
    status = 0;
    QSerialPort* port = impl_->Port(handle);
    if (!port) return impl_->InvalidHandle(handle);
    PullArrived(*port);
    const qint64 available = port->bytesAvailable();
    // Bytes that arrived before a failure are still handed out.
    if (available == 0 && HasFailed(*port)) {
        std::string what = "USB read failed: " + port->errorString().toStdString();
        if (port->error() == QSerialPort::ReadError) port->clearError();
        return impl_->Fail(kReadError, what);
    }
    queued = static_cast<std::uint32_t>(std::min<qint64>(available, UINT32_MAX));
    status = queued > 0 ? kQueueReady : 0;
    return impl_->Ok();
}

int LinuxUsbXpress::SI_Read(std::int32_t handle, std::uint8_t* buffer, std::uint32_t toRead,
                            std::uint32_t& got) {
    got = 0;
    QSerialPort* port = impl_->Port(handle);
    if (!port) return impl_->InvalidHandle(handle);
    if (toRead == 0) return impl_->Ok();
    if (!buffer) return impl_->Fail(kInvalidParameter, "no buffer to read into");
    PullArrived(*port);
    if (port->bytesAvailable() == 0 && !HasFailed(*port)) {
        port->waitForReadyRead(impl_->readTimeoutMs);
        if (port->error() == QSerialPort::TimeoutError) port->clearError();
    }
    const qint64 available = port->bytesAvailable();
    if (available == 0) {
        if (!HasFailed(*port)) return impl_->Ok();  // time-out: nothing arrived
        std::string what = "USB read failed: " + port->errorString().toStdString();
        if (port->error() == QSerialPort::ReadError) port->clearError();
        return impl_->Fail(kReadError, what);
    }
    const qint64 n =
        port->read(reinterpret_cast<char*>(buffer), std::min<qint64>(toRead, available));
    if (n < 0)
        return impl_->Fail(kReadError, "USB read failed: " + port->errorString().toStdString());
    got = static_cast<std::uint32_t>(n);
    return impl_->Ok();
}

int LinuxUsbXpress::SI_FlushBuffers(std::int32_t handle, std::uint8_t transmit,
                                    std::uint8_t receive) {
    QSerialPort* port = impl_->Port(handle);
    if (!port) return impl_->InvalidHandle(handle);
    QSerialPort::Directions directions;
    if (transmit) directions |= QSerialPort::Output;
    if (receive) directions |= QSerialPort::Input;
    if (directions && !port->clear(directions))
        return impl_->Fail(kDeviceIoFailed,
                           "USB flush failed: " + port->errorString().toStdString());
    return impl_->Ok();
}

int LinuxUsbXpress::SI_Write(std::int32_t handle, const std::uint8_t* buffer, std::uint32_t length,
                             std::uint32_t& written) {
    written = 0;
    QSerialPort* port = impl_->Port(handle);
    if (!port) return impl_->InvalidHandle(handle);
    if (length == 0) return impl_->Ok();
    if (!buffer) return impl_->Fail(kInvalidParameter, "no bytes to write");
    if (port->write(reinterpret_cast<const char*>(buffer), length) != qint64(length)) {
        std::string what = "USB write failed: " + port->errorString().toStdString();
        port->clear(QSerialPort::Output);
        return impl_->Fail(kWriteError, what);
    }
    QDeadlineTimer deadline(impl_->writeTimeoutMs);
    while (port->bytesToWrite() > 0 && port->waitForBytesWritten(deadline.remainingTime())) {
    }
    const qint64 pending = port->bytesToWrite();
    written = static_cast<std::uint32_t>(length - std::min<qint64>(pending, length));
    if (pending > 0) {
        // Drop the rest so that it cannot go out later, in the middle of another frame.
        std::string what = "USB write incomplete: " + std::to_string(pending) + " of " +
                           std::to_string(length) + " bytes not sent";
        port->clear(QSerialPort::Output);
        port->clearError();
        return impl_->Fail(kWriteError, what);
    }
    if (port->error() == QSerialPort::TimeoutError) port->clearError();
    return impl_->Ok();
}

int LinuxUsbXpress::SI_Close(std::int32_t handle) {
    auto it = impl_->ports.find(handle);
    if (it == impl_->ports.end()) return impl_->InvalidHandle(handle);
    it->second.port->close();
    impl_->ports.erase(it);
    return impl_->Ok();
}

}  // namespace delvar::platform
