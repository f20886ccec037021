// In-memory ports, clock and event pump for driving the link without hardware.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "link/Ports.h"

namespace delvar::testing {

using link::Bytes;

// A clock that moves only when told to.
class FakeClock final : public link::Clock {
  public:
    link::TimePoint Now() const override { return now_; }
    void Advance(std::chrono::microseconds by) { now_ += by; }

  private:
    link::TimePoint now_{std::chrono::hours(1)};
};

// Each pass of the wait advances the fake clock by step and then runs the actions
// due at that pass: deliver bytes, start a nested exchange, and so on.
class ScriptedPump final : public link::EventPump {
  public:
    explicit ScriptedPump(FakeClock& clock,
                          std::chrono::microseconds step = std::chrono::milliseconds(1))
        : clock_(clock), step_(step) {}
    void ProcessEvents(link::TimePoint wakeBy, bool mayWait) override;
    // Posted tasks run on the next pass, as an event loop would run them, or by RunPosted.
    void Post(std::function<void()> task) override { posted_.push_back(std::move(task)); }
    // What returning to the event loop does: the posted tasks run.
    void RunPosted();

    // Runs action on the pass numbered pass (1 = the first pass of the next wait...
    // counted over the pump's life).
    void At(int pass, std::function<void()> action) {
        actions_.push_back({pass, std::move(action)});
    }
    int Passes() const { return passes_; }
    int SleepingPasses() const { return sleeping_; }

  private:
    struct Scheduled {
        int pass;
        std::function<void()> action;
    };
    FakeClock& clock_;
    std::chrono::microseconds step_;
    std::vector<Scheduled> actions_;
    std::vector<std::function<void()>> posted_;
    int passes_ = 0;
    int sleeping_ = 0;
};

class FakeSerialPort final : public link::SerialPort {
  public:
    void SetPortNumber(int n) override { calls.push_back("port " + std::to_string(number = n)); }
    int PortNumber() const override { return number; }
    void SetBaudRate(int baud) override {
        calls.push_back("baud " + std::to_string(this->baud = baud));
    }
    void SetInputBufferSize(int bytes) override {
        calls.push_back("buffer " + std::to_string(bytes));
    }
    bool Open() override {
        calls.push_back("open");
        return open = !openFails;
    }
    void Close() override {
        calls.push_back("close");
        open = false;
    }
    bool IsOpen() const override { return open; }
    int BytesWaiting() const override { return readFails ? -1 : open ? int(incoming.size()) : 0; }
    bool ReadByte(std::uint8_t& b) override {
        if (!open || incoming.empty()) return false;
        b = incoming.front();
        incoming.pop_front();
        return true;
    }
    bool Write(const Bytes& bytes) override {
        if (!open) return false;
        written.push_back(bytes);
        if (onWrite) onWrite(bytes);
        return true;
    }
    void DiscardInput() override {
        calls.push_back("discard");
        incoming.clear();
    }

    void Deliver(const Bytes& bytes) {
        incoming.insert(incoming.end(), bytes.begin(), bytes.end());
    }

    int number = 0;
    int baud = 0;
    bool open = false;
    bool openFails = false;
    bool readFails = false;  // BytesWaiting reports an error
    std::deque<std::uint8_t> incoming;
    std::vector<Bytes> written;
    std::vector<std::string> calls;
    std::function<void(const Bytes&)> onWrite;
};

class FakeTcpSocket final : public link::TcpSocket {
  public:
    void ConnectTo(const std::string& h, std::uint16_t p) override {
        host = h;
        port = p;
        state = stateAfterConnect;
    }
    int State() const override { return state; }
    int BytesReceived() const override { return static_cast<int>(incoming.size()); }
    Bytes ReadAll() override {
        ++reads;
        return std::exchange(incoming, {});
    }
    bool Send(const Bytes& bytes) override {
        sent.push_back(bytes);
        if (onSend) onSend(bytes);
        return true;
    }
    void Close() override { state = 0; }

    void Deliver(const Bytes& bytes) {
        incoming.insert(incoming.end(), bytes.begin(), bytes.end());
    }

    int state = kConnected;
    int stateAfterConnect = kConnected;
    std::string host;
    std::uint16_t port = 0;
    Bytes incoming;
    std::vector<Bytes> sent;
    int reads = 0;
    std::function<void(const Bytes&)> onSend;
};

// The command text inside a command frame ("" when it is not one).
std::string CommandOf(const Bytes& frame);

// A scripted instrument: given a command, the status character and data to answer
// with; status 0 means no answer at all, and corrupt sends wrong check bytes.
struct Answer {
    char status = 'A';
    std::string data;
    bool corrupt = false;
};
using Responder = std::function<Answer(const std::string& command)>;

// Makes socket answer every frame sent to it through responder, at once.
void AnswerOn(FakeTcpSocket& socket, Responder responder);
// The same, but each answer arrives on the pump's second pass after the frame went
// out: every exchange waits, so the pump's scheduled actions (clicks, menus) can run
// inside its wait as window events do.
void AnswerLaterOn(FakeTcpSocket& socket, ScriptedPump& pump, Responder responder);

}  // namespace delvar::testing
