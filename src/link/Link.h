// The command exchange with the instrument: one framed command out, one reply back,
// over the serial port, the USB bridge or TCP, with a 2 s budget during which window
// events keep running (a nested exchange is refused as busy).
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "core/CErrHandler.h"
#include "link/CommSettings.h"
#include "link/LinkState.h"
#include "link/Ports.h"
#include "link/UsbBridge.h"

namespace delvar::link {

inline constexpr std::chrono::milliseconds kReplyBudget{2000};
inline constexpr std::chrono::milliseconds kTcpConnectWait{1000};
inline constexpr int kSerialInputBuffer = 2048;
inline constexpr std::size_t kUsbPollBuffer = 1025;

struct LinkPorts {
    SerialPort& serial;
    TcpSocket& tcp;
    UsbXpress& usb;
    EventPump& pump;
    const Clock& clock;
};

class Link {
  public:
    explicit Link(LinkPorts ports);

    // Sends command and returns the trimmed data text of the reply for codes 0 and 5,
    // else "". The outcome is in CommStatus(): 9 at once when an exchange is already
    // running (nothing sent), 12 for a command that cannot be framed (nothing sent).
    std::string SendCommand(std::string_view command);

    // How often a setup read or write lost to a time-out or a damaged frame (status 1,
    // 7 or 11) is sent again before its status stands; 0 (the default) never.
    // Operating commands (U, S, T) and XSTART/XSTOP are never sent again.
    void SetRetries(int retries) { retries_ = retries < 0 ? 0 : retries; }

    // (Re)opens serial port 1..9 at kRateTable[rateIndex]; other ports do nothing.
    bool OpenSerialPort(int port, int rateIndex);
    bool CloseSerialPort();

    // Opens the port of the selected type, without any exchange; true when usable.
    // TCP waits up to 1 s for the connection while events run.
    bool OpenSelectedPort();

    int CommStatus() const { return exchange_.CommStatus; }
    // Exchanges started since the link was made (refused calls not counted).
    std::uint64_t ExchangeCount() const { return exchanges_; }
    void SetCommStatus(int code) { exchange_.CommStatus = code; }

    CommSettings& Settings() { return settings_; }
    const CommSettings& Settings() const { return settings_; }
    const InstrumentInfo& Info() const { return info_; }
    InstrumentInfo& MutableInfo() { return info_; }
    const ExchangeState& Exchange() const { return exchange_; }
    ExchangeState& MutableExchange() { return exchange_; }
    LinkState& Receive() { return rx_; }
    UsbState& Usb() { return usbState_; }
    UsbBridge& UsbWrappers() { return usb_; }
    EventPump& Pump() { return ports_.pump; }
    const Clock& ClockSource() const { return ports_.clock; }

    // The shared error handler, when the program has one; the USB search registers
    // with it as "Comm_FindDelvar".
    core::CErrHandler* Errors = nullptr;

    // Set to Online at the end of every connect; the process window shows its
    // off-line notice once while this is false.
    bool OfflineNoticeShown = false;

    // Told every command text as its exchange starts (tests and traces listen here).
    std::function<void(const std::string& command)> OnCommand;

  private:
    std::string SendOnce(std::string_view command);
    std::string ReceiveReply();
    void SendFrame(const Bytes& frame);
    bool PollPort();  // true when bytes were taken from the port
    void Feed(std::uint8_t b);
    bool FindDelvar(const std::string& serial);

    LinkPorts ports_;
    CommSettings settings_;
    LinkState rx_;
    ExchangeState exchange_;
    InstrumentInfo info_;
    UsbState usbState_;
    UsbBridge usb_;
    std::uint64_t exchanges_ = 0;
    int retries_ = 0;
};

}  // namespace delvar::link
