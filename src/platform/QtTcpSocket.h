// TCP client through QTcpSocket, with the state numbers the link tests (7 = connected).
#pragma once

#include <QTcpSocket>

#include "link/Ports.h"

namespace delvar::platform {

class QtTcpSocket final : public link::TcpSocket {
  public:
    QtTcpSocket();
    void ConnectTo(const std::string& host, std::uint16_t port) override;
    int State() const override;
    int BytesReceived() const override;
    link::Bytes ReadAll() override;
    bool Send(const link::Bytes& bytes) override;
    void Close() override;

  private:
    QTcpSocket socket_;
};

}  // namespace delvar::platform
