#include "support/LinkFakes.h"

#include "link/Frame.h"

namespace delvar::testing {

void ScriptedPump::ProcessEvents(link::TimePoint, bool mayWait) {
    ++passes_;
    if (mayWait) ++sleeping_;
    clock_.Advance(step_);
    // Copy first: an action may schedule more actions or nest another wait.
    std::vector<std::function<void()>> due;
    for (auto& item : actions_)
        if (item.pass == passes_) due.push_back(item.action);
    for (auto& action : due) action();
}

bool FakeSerialPort::Open() {
    calls.push_back("open");
    if (openFails) return false;
    open = true;
    return true;
}

void FakeSerialPort::Close() {
    calls.push_back("close");
    open = false;
}

int FakeSerialPort::BytesWaiting() const {
    if (readFails) return -1;
    return open ? static_cast<int>(incoming.size()) : 0;
}

bool FakeSerialPort::ReadByte(std::uint8_t& b) {
    if (!open || incoming.empty()) return false;
    b = incoming.front();
    incoming.pop_front();
    return true;
}

bool FakeSerialPort::Write(const Bytes& bytes) {
    if (!open) return false;
    written.push_back(bytes);
    if (onWrite) onWrite(bytes);
    return true;
}

void FakeSerialPort::DiscardInput() {
    calls.push_back("discard");
    incoming.clear();
}

void FakeTcpSocket::ConnectTo(const std::string& h, std::uint16_t p) {
    host = h;
    port = p;
    state = stateAfterConnect;
}

Bytes FakeTcpSocket::ReadAll() {
    ++reads;
    Bytes out;
    out.swap(incoming);
    return out;
}

bool FakeTcpSocket::Send(const Bytes& bytes) {
    sent.push_back(bytes);
    if (onSend) onSend(bytes);
    return true;
}

Bytes ToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::string CommandOf(const Bytes& frame) {
    if (frame.size() < 5 || frame[0] != 0x21) return {};
    return std::string(frame.begin() + 2, frame.end() - 2);
}

void AnswerOn(FakeTcpSocket& socket, Responder responder) {
    socket.onSend = [&socket, responder](const Bytes& frame) {
        Answer answer = responder(CommandOf(frame));
        if (answer.status != 0) socket.Deliver(link::BuildReplyFrame(answer.status, answer.data));
    };
}

}  // namespace delvar::testing
