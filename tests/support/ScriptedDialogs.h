// A dialog service for tests: records every message and prompt, and answers from
// queues the test fills.
//
// Message boxes take the next entry of `answers`; with the queue empty they answer
// their first button: Ok for Ok and OkCancel, Yes for YesNo and YesNoCancel, Retry for
// RetryCancel. A queued answer that is not one of the box's buttons fails the test.
// Input boxes take the next entry of `textAnswers`, file dialogs (open and save) the
// next of `fileAnswers`; with the queue empty they answer nothing, as when cancelled.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/DialogService.h"

namespace delvar::testing {

struct Prompt {
    enum class Kind { Text, OpenFile, SaveFile };
    Kind kind = Kind::Text;
    std::string prompt;  // the input box's prompt; empty for file dialogs
    std::string title;
    std::string filter;  // file dialogs only
    std::string initial;
};

class ScriptedDialogs final : public core::DialogService {
  public:
    core::MessageAnswer ShowMessage(const core::Message& message) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;
    std::optional<std::string> AskOpenFile(const std::string& title, const std::string& filter,
                                           const std::string& initial) override;
    std::optional<std::string> AskSaveFile(const std::string& title, const std::string& filter,
                                           const std::string& initial) override;

    // Every message text shown, in order.
    std::vector<std::string> Texts() const;
    // The text of the last message; empty when none was shown.
    std::string LastText() const;
    // Forgets what was shown and prompted (the answer queues stay).
    void ClearRecord();

    std::vector<core::Message> messages;
    std::vector<Prompt> prompts;
    std::deque<core::MessageAnswer> answers;
    std::deque<std::optional<std::string>> textAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
};

}  // namespace delvar::testing
