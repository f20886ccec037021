#include "support/LinkFakes.h"

#include <utility>

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
    RunPosted();
}

void ScriptedPump::RunPosted() {
    for (auto& task : std::exchange(posted_, {})) task();
}

std::string CommandOf(const Bytes& frame) {
    if (frame.size() < 5 || frame[0] != 0x21) return {};
    return std::string(frame.begin() + 2, frame.end() - 2);
}

void AnswerOn(FakeTcpSocket& socket, Responder responder) {
    socket.onSend = [&socket, responder](const Bytes& frame) {
        Answer answer = responder(CommandOf(frame));
        if (answer.status == 0) return;
        Bytes reply = link::BuildReplyFrame(answer.status, answer.data);
        if (answer.corrupt) reply.back() ^= 1;  // still a plausible check byte
        socket.Deliver(reply);
    };
}

void AnswerLaterOn(FakeTcpSocket& socket, ScriptedPump& pump, Responder responder) {
    socket.onSend = [&socket, &pump, responder](const Bytes& frame) {
        Answer answer = responder(CommandOf(frame));
        if (answer.status == 0) return;
        Bytes reply = link::BuildReplyFrame(answer.status, answer.data);
        pump.At(pump.Passes() + 2, [&socket, reply] { socket.Deliver(reply); });
    };
}

}  // namespace delvar::testing
