#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace delvar::testing {

using core::MessageAnswer;
using core::MessageButtons;

namespace {
std::vector<MessageAnswer> ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OkCancel:
            return {MessageAnswer::Ok, MessageAnswer::Cancel};
        case MessageButtons::YesNo:
            return {MessageAnswer::Yes, MessageAnswer::No};
        case MessageButtons::YesNoCancel:
            return {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Cancel};
        case MessageButtons::RetryCancel:
            return {MessageAnswer::Retry, MessageAnswer::Cancel};
        case MessageButtons::Ok:
            break;
    }
    return {MessageAnswer::Ok};
}

std::optional<std::string> Next(std::deque<std::optional<std::string>>& queue) {
    if (queue.empty()) return std::nullopt;
    auto answer = queue.front();
    queue.pop_front();
    return answer;
}
}  // namespace

MessageAnswer ScriptedDialogs::ShowMessage(const core::Message& message) {
    messages.push_back(message);
    const std::vector<MessageAnswer> buttons = ButtonsOf(message.buttons);
    if (answers.empty()) return buttons.front();
    MessageAnswer answer = answers.front();
    answers.pop_front();
    if (std::find(buttons.begin(), buttons.end(), answer) == buttons.end())
        ADD_FAILURE() << "scripted answer " << int(answer) << " is not a button of the box \""
                      << message.text << "\"";
    return answer;
}

std::optional<std::string> ScriptedDialogs::AskText(const std::string& prompt,
                                                    const std::string& title,
                                                    const std::string& initial) {
    prompts.push_back({Prompt::Kind::Text, prompt, title, "", initial});
    return Next(textAnswers);
}

std::optional<std::string> ScriptedDialogs::AskOpenFile(const std::string& title,
                                                        const std::string& filter,
                                                        const std::string& initial) {
    prompts.push_back({Prompt::Kind::OpenFile, "", title, filter, initial});
    return Next(fileAnswers);
}

std::optional<std::string> ScriptedDialogs::AskSaveFile(const std::string& title,
                                                        const std::string& filter,
                                                        const std::string& initial) {
    prompts.push_back({Prompt::Kind::SaveFile, "", title, filter, initial});
    return Next(fileAnswers);
}

std::vector<std::string> ScriptedDialogs::Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
}

std::string ScriptedDialogs::LastText() const {
    return messages.empty() ? std::string() : messages.back().text;
}

void ScriptedDialogs::ClearRecord() {
    messages.clear();
    prompts.clear();
}

}  // namespace delvar::testing
