#include "sim/CommandHandler.h"

#include <chrono>

#include "link/Frame.h"

namespace delvar::sim {

Answer CommandHandler::Handle(const DecodedCommand& command, SimTime now) {
    responder_.AdvanceTo(std::chrono::duration<double>(now).count() * speed_);
    Answer answer;
    if (faults_.SilenceCommand()) {
        answer.silent = true;
        return answer;
    }
    const bool damaged = !command.checkOk || faults_.DamageCommand();
    answer.reply = damaged ? Reply{'F', ""} : responder_.Respond(command.text);
    std::vector<std::uint8_t> frame = link::BuildReplyFrame(answer.reply.status, answer.reply.data);
    if (frame.empty()) {
        // The data does not fit a frame: say so rather than send nothing.
        answer.reply = {'G', ""};
        frame = link::BuildReplyFrame(answer.reply.status, answer.reply.data);
    }
    answer.plan = faults_.Plan(std::move(frame));
    return answer;
}

}  // namespace delvar::sim
