#include "platform/QtTcpSocket.h"

#include <sys/socket.h>

#include <algorithm>

namespace delvar::platform {

namespace {
// Socket states as numbered by the link: 0 closed, 1 open, 2 listening, 4 resolving,
// 6 connecting, 7 connected, 8 peer closing, 9 error.
constexpr int kClosed = 0, kOpen = 1, kListening = 2, kResolving = 4, kConnecting = 6,
              kConnected = 7, kClosing = 8;
}  // namespace

QtTcpSocket::QtTcpSocket() {
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

void QtTcpSocket::ConnectTo(const std::string& host, std::uint16_t port) {
    socket_.abort();
    socket_.connectToHost(QString::fromStdString(host), port);
}

int QtTcpSocket::State() const {
    switch (socket_.state()) {
        case QAbstractSocket::UnconnectedState:
            return kClosed;
        case QAbstractSocket::HostLookupState:
            return kResolving;
        case QAbstractSocket::ConnectingState:
            return kConnecting;
        case QAbstractSocket::ConnectedState:
            return kConnected;
        case QAbstractSocket::BoundState:
            return kOpen;
        case QAbstractSocket::ListeningState:
            return kListening;
        case QAbstractSocket::ClosingState:
            return kClosing;
    }
    return kClosed;
}

int QtTcpSocket::BytesReceived() const {
    return static_cast<int>(socket_.bytesAvailable());
}

link::Bytes QtTcpSocket::ReadAll() {
    // One read into a buffer of the right size (QIODevice::readAll grows its own).
    link::Bytes data(static_cast<std::size_t>(std::max<qint64>(socket_.bytesAvailable(), 0)));
    const qint64 n = socket_.read(reinterpret_cast<char*>(data.data()), qint64(data.size()));
    data.resize(static_cast<std::size_t>(std::max<qint64>(n, 0)));
    return data;
}

bool QtTcpSocket::Send(const link::Bytes& bytes) {
    const char* data = reinterpret_cast<const char*>(bytes.data());
    qint64 left = static_cast<qint64>(bytes.size());
    // A frame goes straight to the kernel when nothing of Qt's is queued before it:
    // QAbstractSocket's own write path switches its write notifier on and off for
    // every frame, and each switch wakes the event loop once for nothing.
    if (socket_.state() == QAbstractSocket::ConnectedState && socket_.bytesToWrite() == 0) {
        const ssize_t n = ::send(static_cast<int>(socket_.socketDescriptor()), data,
                                 static_cast<std::size_t>(left), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            data += n;
            left -= n;
        }
        if (left == 0) return true;
    }
    // The rest, or everything when the kernel would not take it now: Qt queues it and
    // reports a failed socket through its state.
    const qint64 written = socket_.write(data, left);
    socket_.flush();
    return written == left;
}

void QtTcpSocket::Close() {
    socket_.abort();
}

}  // namespace delvar::platform
