#include "link/Link.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "link/Frame.h"
#include "link/ReceiveParser.h"
#include "util/Text.h"

namespace delvar::link {

Link::Link(LinkPorts ports) : ports_(ports), usb_(ports.usb, usbState_) {}

namespace {
// Setup reads and writes may be sent again after a lost or damaged frame; operating
// commands and the transfer brackets act on the run and must never happen twice.
bool Repeatable(std::string_view command) {
    if (command.starts_with("XSTART") || command.starts_with("XSTOP")) return false;
    return !(command.starts_with('U') || command.starts_with('S') || command.starts_with('T'));
}

bool Damaged(int status) {
    return status == kReceiveCrcError || status == kTransmitCrcError;
}

// Marks the exchange busy for as long as it runs and ends it on every way out: an
// error raised by an event handler during the wait must not leave the link refusing
// every later command as busy. An exchange ended that way counts as timed out.
class BusyMark {
  public:
    explicit BusyMark(ExchangeState& exchange) : exchange_(exchange) {
        exchange_.CommStatus = kBusy;
    }
    ~BusyMark() {
        if (exchange_.CommStatus == kBusy) exchange_.CommStatus = kTimeout;
        exchange_.LastCommand.clear();
    }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

  private:
    ExchangeState& exchange_;
};
}  // namespace

int Link::RetriesFor(int status) const {
    if (status == kTimeout) return retries_;
    return Damaged(status) ? std::max(retries_, damageRetries_) : 0;
}

std::string Link::SendCommand(std::string_view command) {
    std::string reply = SendOnce(command);
    if (!Repeatable(command)) return reply;
    for (int again = 0; again < RetriesFor(exchange_.CommStatus); ++again)
        reply = SendOnce(command);
    return reply;
}

void Link::SetCommStatus(int code) {
    const bool ended = exchange_.CommStatus == kBusy && code != kBusy;
    exchange_.CommStatus = code;
    if (ended) ExchangeEnded();
}

void Link::RunWhenIdle(std::function<void()> action) {
    if (exchange_.CommStatus != kBusy && idleActions_.empty()) {
        action();
        return;
    }
    idleActions_.push_back(std::move(action));
    if (exchange_.CommStatus != kBusy) ExchangeEnded();
}

void Link::ExchangeEnded() {
    if (idleActions_.empty() || idlePosted_) return;
    idlePosted_ = true;
    ports_.pump.Post([this, alive = std::weak_ptr<bool>(alive_)] {
        if (!alive.expired()) RunIdleActions();
    });
}

// From the event loop: that may be inside the wait of the next exchange of the same
// sequence; then the actions keep waiting for its end.
void Link::RunIdleActions() {
    idlePosted_ = false;
    while (!idleActions_.empty() && exchange_.CommStatus != kBusy) {
        auto action = std::move(idleActions_.front());
        idleActions_.pop_front();
        action();
    }
}

std::string Link::SendOnce(std::string_view command) {
    if (exchange_.CommStatus == kBusy) return {};
    Bytes frame = BuildCommandFrame(command, settings_.CheckSum > 0);
    if (frame.empty()) {
        // Refused before the exchange starts, so nobody mistakes it for success and
        // later exchanges are not refused as busy.
        exchange_.CommStatus = command.empty() ? kBadCommand : kMessageTooLong;
        return {};
    }
    const BusyMark busy(exchange_);
    ++exchanges_;
    if (OnCommand) OnCommand(std::string(command));
    exchange_.LastCommand = std::string(command);
    exchange_.TxText.assign(frame.begin(), frame.end());
    exchange_.ReplyText.clear();
    // Forget the frame judged last: a stray byte before this reply must not re-judge
    // it (it would end this exchange with the old reply text, or a false CRC error).
    rx_.RxIndex = 0;
    SendFrame(frame);
    std::string reply = ReceiveReply();
    ExchangeEnded();  // posts the actions waiting for the link; they run once it is idle
    return reply;
}

void Link::SendFrame(const Bytes& frame) {
    switch (settings_.Type) {
        case kPortRs232:
            ports_.serial.DiscardInput();
            ports_.serial.Write(frame);
            break;
        case kPortUsb:
            // A failed write closes the handle; the exchange then times out, and so do
            // later ones until a new connect opens the device again.
            if (usb_.UsbWrite(usbState_.UsbHandle, frame) != UsbXpress::kSuccess)
                usb_.UsbClose(usbState_.UsbHandle);
            break;
        case kPortTcp:
            if (ports_.tcp.State() != TcpSocket::kConnected) break;
            // A reply that came after its exchange timed out must not be taken as this
            // one's: drop what waits, as the serial port and the USB bridge do.
            if (ports_.tcp.BytesReceived() > 0) ports_.tcp.ReadAll();
            ports_.tcp.Send(frame);
            break;
        default:
            break;
    }
}

std::string Link::ReceiveReply() {
    const TimePoint start = ports_.clock.Now();
    const TimePoint deadline = start + kReplyBudget;
    // The frame has just gone out: unless bytes are already there, the first pass may
    // sleep until something arrives (a pass that does not sleep costs a round of the
    // event loop for nothing).
    bool idle = !PollPort();  // the last poll found nothing: the pump may sleep
    for (;;) {
        if (exchange_.CommStatus != kBusy) {
            if (exchange_.CommStatus == kOk || exchange_.CommStatus == kBadData)
                return util::Trim(exchange_.ReplyText);
            return {};
        }
        ports_.pump.ProcessEvents(deadline, idle);
        // An event (a connect) may have ended this exchange: keep its outcome, and
        // leave the bytes that follow to whoever waits next.
        if (exchange_.CommStatus != kBusy) continue;
        if (ports_.clock.Now() - start > kReplyBudget) {
            exchange_.CommStatus = kTimeout;
            continue;
        }
        idle = !PollPort();
    }
}

void Link::Feed(std::uint8_t b) {
    ReceiveByte(b, rx_, exchange_, info_);
}

bool Link::PollPort() {
    switch (settings_.Type) {
        case kPortRs232: {
            int waiting = ports_.serial.BytesWaiting();
            if (waiting < 0) {
                exchange_.CommStatus = kTimeout;  // the port failed: end, never stay busy
                return true;
            }
            if (waiting == 0) return false;
            std::uint8_t b = 0;
            if (!ports_.serial.ReadByte(b)) {
                exchange_.CommStatus = kTimeout;
                return true;
            }
            Feed(b);
            return true;
        }
        case kPortUsb: {
            Bytes buffer(kUsbPollBuffer, 0);
            std::size_t copied = 0;
            if (usb_.UsbRead(usbState_.UsbHandle, buffer, copied) != UsbXpress::kSuccess)
                return false;
            for (std::size_t i = 0; i + 1 < buffer.size() && exchange_.CommStatus == kBusy; ++i)
                Feed(buffer[i]);  // the zero bytes after the data are skipped by the parser
            return copied > 0;
        }
        case kPortTcp: {
            if (ports_.tcp.BytesReceived() <= 0) return false;
            for (std::uint8_t b : ports_.tcp.ReadAll()) Feed(b);
            return true;
        }
        default:
            return false;
    }
}

bool Link::OpenSerialPort(int port, int rateIndex) {
    if (port < 1 || port > 9) return false;
    CloseSerialPort();
    SerialPort& serial = ports_.serial;
    serial.SetPortNumber(port);
    if (serial.IsOpen()) serial.Close();
    if (!serial.Open()) return false;  // trial open
    serial.Close();
    if (rateIndex < 0 || rateIndex >= static_cast<int>(kRateTable.size())) return false;
    std::string rate = kRateTable[static_cast<std::size_t>(rateIndex)];
    if (rate.empty()) return false;
    serial.SetBaudRate(std::stoi(rate));
    serial.SetInputBufferSize(kSerialInputBuffer);
    return serial.Open();
}

bool Link::CloseSerialPort() {
    SerialPort& serial = ports_.serial;
    if (serial.IsOpen()) {
        serial.Close();
        return true;
    }
    if (!serial.Open()) return false;
    serial.Close();
    return true;
}

bool Link::FindDelvar(const std::string& serial) {
    if (!Errors) return usb_.FindDelvar(serial);
    core::ProcGuard guard(*Errors, "Comm_FindDelvar");
    return usb_.FindDelvar(serial);
}

bool Link::OpenSelectedPort() {
    switch (settings_.Type) {
        case kPortRs232:
            OpenSerialPort(settings_.RS232Port, settings_.RS232Baud);
            return ports_.serial.IsOpen();
        case kPortUsb: {
            bool found = FindDelvar(settings_.USBDevice);
            if (!found && usbState_.UsbDeviceList.size() == 1) {
                // The one attached bridge is adopted as the chosen device.
                settings_.USBDevice = usbState_.UsbDeviceList.front();
                found = FindDelvar(settings_.USBDevice);
            }
            return found && usb_.UsbOpen(usbState_.UsbDeviceIndex, usbState_.UsbHandle) ==
                                UsbXpress::kSuccess;
        }
        case kPortTcp: {
            double port = util::LeadingNumber(settings_.EPort);
            auto portNumber = static_cast<std::uint16_t>(port >= 0 && port <= 65535 ? port : 0);
            ports_.tcp.Close();
            ports_.tcp.ConnectTo(settings_.EAddress, portNumber);
            // Wait up to 1 s while events run; stop as soon as the socket is connected,
            // or closed again because the peer refused.
            const TimePoint deadline = ports_.clock.Now() + kTcpConnectWait;
            while (ports_.tcp.State() != TcpSocket::kConnected && ports_.clock.Now() < deadline) {
                ports_.pump.ProcessEvents(deadline, true);
                if (ports_.tcp.State() == 0) break;
            }
            return ports_.tcp.State() == TcpSocket::kConnected;
        }
        default:
            return false;
    }
}

}  // namespace delvar::link
