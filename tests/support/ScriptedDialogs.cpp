#include "support/ScriptedDialogs.h"

namespace delvar::testing {

using app::MessageAnswer;
using app::MessageButtons;

MessageAnswer ScriptedDialogs::ShowMessage(const app::Message& message) {
    messages.push_back(message);
    if (!answers.empty()) {
        MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    switch (message.buttons) {
        case MessageButtons::YesNo:
        case MessageButtons::YesNoCancel:
            return MessageAnswer::Yes;
        case MessageButtons::RetryCancel:
            return MessageAnswer::Retry;
        default:
            return MessageAnswer::Ok;
    }
}

namespace {
std::optional<std::string> Next(std::deque<std::optional<std::string>>& queue) {
    if (queue.empty()) return std::nullopt;
    auto answer = queue.front();
    queue.pop_front();
    return answer;
}
}  // namespace

std::optional<std::string> ScriptedDialogs::AskText(const std::string& prompt, const std::string&,
                                                    const std::string&) {
    prompts.push_back(prompt);
    return Next(textAnswers);
}

std::optional<std::string> ScriptedDialogs::AskOpenFile(const std::string& title,
                                                        const std::string&, const std::string&) {
    prompts.push_back(title);
    return Next(fileAnswers);
}

std::optional<std::string> ScriptedDialogs::AskSaveFile(const std::string& title,
                                                        const std::string&, const std::string&) {
    prompts.push_back(title);
    return Next(fileAnswers);
}

std::vector<std::string> ScriptedDialogs::Texts() const {
    std::vector<std::string> texts;
    for (auto& m : messages) texts.push_back(m.text);
    return texts;
}

}  // namespace delvar::testing
