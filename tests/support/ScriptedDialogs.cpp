#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace delvar::testing {

using core::MessageAnswer;
using core::MessageButtons;

namespace {
using A = MessageAnswer;
const std::map<MessageButtons, std::vector<MessageAnswer>> kButtonsOf{
    {MessageButtons::Ok, {A::Ok}},
    {MessageButtons::OkCancel, {A::Ok, A::Cancel}},
    {MessageButtons::YesNo, {A::Yes, A::No}},
    {MessageButtons::YesNoCancel, {A::Yes, A::No, A::Cancel}},
    {MessageButtons::RetryCancel, {A::Retry, A::Cancel}}};
}  // namespace

MessageAnswer ScriptedDialogs::ShowMessage(const core::Message& message) {
    messages.push_back(message);
    const std::vector<MessageAnswer>& buttons = kButtonsOf.at(message.buttons);
    if (answers.empty()) return buttons.front();
    MessageAnswer answer = answers.front();
    answers.pop_front();
    if (std::find(buttons.begin(), buttons.end(), answer) == buttons.end())
        ADD_FAILURE() << "scripted answer " << int(answer) << " is not a button of the box \""
                      << message.text << "\"";
    return answer;
}

}  // namespace delvar::testing
