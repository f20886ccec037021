#include "platform/QtTcpSocket.h"

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
    QByteArray data = socket_.readAll();
    return link::Bytes(data.begin(), data.end());
}

bool QtTcpSocket::Send(const link::Bytes& bytes) {
    qint64 written = socket_.write(reinterpret_cast<const char*>(bytes.data()),
                                   static_cast<qint64>(bytes.size()));
    socket_.flush();
    return written == static_cast<qint64>(bytes.size());
}

void QtTcpSocket::Close() {
    socket_.abort();
}

}  // namespace delvar::platform
