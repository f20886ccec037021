// The command tests' instrument: a link over in-memory ports that records every
// command text and answers through `respond`, with a fresh setup and dialogs.
#pragma once

#include <functional>
#include <memory>

#include "setup/SetupData.h"
#include "support/LinkRig.h"
#include "support/ScriptedDialogs.h"

namespace delvar::testing {

struct CommandRig : LinkRig {
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    ScriptedDialogs dialogs;
    std::vector<std::string> sent;
    std::function<Answer(const std::string&)> respond = [](const std::string&) { return Answer{}; };

    explicit CommandRig(int channels = 4) {
        setup::ResetSetupData(*setup);
        link.MutableInfo().ChannelCount = channels;
        AnswerOn(tcp, [this](const std::string& command) {
            sent.push_back(command);
            return respond(command);
        });
    }
    void AnswerAlways(Answer answer) {
        respond = [answer](const std::string&) { return answer; };
    }
};

using Texts = std::vector<std::string>;

}  // namespace delvar::testing
