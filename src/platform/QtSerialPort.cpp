#include "platform/QtSerialPort.h"

namespace delvar::platform {

QtSerialPort::QtSerialPort() {
    SetPortNumber(1);
}

void QtSerialPort::SetDevicePath(int portNumber, const std::string& path) {
    if (path.empty())
        paths_.erase(portNumber);
    else
        paths_[portNumber] = path;
    if (portNumber == number_ && !port_.isOpen()) SetPortNumber(portNumber);
}

std::string QtSerialPort::DevicePath(int portNumber) const {
    auto it = paths_.find(portNumber);
    if (it != paths_.end()) return it->second;
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

void QtSerialPort::SetPortNumber(int n) {
    number_ = n;
    port_.setPortName(QString::fromStdString(DevicePath(n)));
}

void QtSerialPort::SetBaudRate(int baud) {
    baud_ = baud;
    port_.setBaudRate(baud);
}

void QtSerialPort::SetInputBufferSize(int bytes) {
    port_.setReadBufferSize(bytes);
}

bool QtSerialPort::Open() {
    if (port_.isOpen()) return true;
    port_.setBaudRate(baud_);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    return port_.open(QIODevice::ReadWrite);
}

void QtSerialPort::Close() {
    if (port_.isOpen()) port_.close();
}

bool QtSerialPort::IsOpen() const {
    return port_.isOpen();
}

int QtSerialPort::BytesWaiting() const {
    if (!port_.isOpen()) return 0;  // nothing arrives: the wait runs out its budget
    if (port_.error() == QSerialPort::ResourceError) return -1;
    return static_cast<int>(port_.bytesAvailable());
}

bool QtSerialPort::ReadByte(std::uint8_t& b) {
    char ch = 0;
    if (port_.read(&ch, 1) != 1) return false;
    b = static_cast<std::uint8_t>(ch);
    return true;
}

bool QtSerialPort::Write(const link::Bytes& bytes) {
    if (!port_.isOpen()) return false;
    qint64 written =
        port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    port_.flush();
    return written == static_cast<qint64>(bytes.size());
}

void QtSerialPort::DiscardInput() {
    if (!port_.isOpen()) return;
    port_.clear(QSerialPort::Input);
    port_.readAll();
}

}  // namespace delvar::platform
