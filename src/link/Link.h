// The command exchange with the instrument: one framed command out, one reply back,
// over the serial port, the USB bridge or TCP, with a 2 s budget during which window
// events keep running (a nested exchange is refused as busy).
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
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
// How often the windows' setup transfers send a read or write again after a damaged reply.
inline constexpr int kWindowDamageRetries = 2;

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
    // The same for a reply that came back damaged (status 7 or 11) only: a time-out is
    // not repeated by this, so an instrument that is gone is not asked again and again.
    void SetDamageRetries(int retries) { damageRetries_ = retries < 0 ? 0 : retries; }
    int DamageRetries() const { return damageRetries_; }

    // Runs action at once when no exchange is waiting. Otherwise it waits until the
    // waiting exchange has ended and runs from the event loop (EventPump::Post), once
    // no exchange waits: an action that needs the link for a sequence of exchanges (a
    // whole upload, a search) is started after the wait rather than refused as busy.
    void RunWhenIdle(std::function<void()> action);

    // (Re)opens serial port 1..9 at kRateTable[rateIndex]; other ports do nothing.
    bool OpenSerialPort(int port, int rateIndex);
    bool CloseSerialPort();

    // Opens the port of the selected type, without any exchange; true when usable.
    // TCP waits up to 1 s for the connection while events run.
    bool OpenSelectedPort();

    int CommStatus() const { return exchange_.CommStatus; }
    // Exchanges started since the link was made (refused calls not counted).
    std::uint64_t ExchangeCount() const { return exchanges_; }
    void SetCommStatus(int code);

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
    int RetriesFor(int status) const;
    void ExchangeEnded();  // hands waiting idle actions to the event loop
    void RunIdleActions();
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
    int damageRetries_ = 0;
    std::deque<std::function<void()>> idleActions_;
    bool idlePosted_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for posted tasks
};

// While it lives, setup reads and writes lost to a damaged reply are sent again up to
// retries times (never fewer than the link already does): a window's setup transfer.
class RepeatDamagedReplies {
  public:
    explicit RepeatDamagedReplies(Link& link, int retries = kWindowDamageRetries)
        : link_(link), before_(link.DamageRetries()) {
        link_.SetDamageRetries(retries > before_ ? retries : before_);
    }
    ~RepeatDamagedReplies() { link_.SetDamageRetries(before_); }
    RepeatDamagedReplies(const RepeatDamagedReplies&) = delete;
    RepeatDamagedReplies& operator=(const RepeatDamagedReplies&) = delete;

  private:
    Link& link_;
    int before_;
};

}  // namespace delvar::link
