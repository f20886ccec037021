// A dialog service for tests: records every message and prompt and answers from
// queues the test fills. With an empty queue a message box answers its first
// button (Ok, Ok for OkCancel, Yes for YesNo and YesNoCancel, Retry for RetryCancel)
// and input and file prompts answer nothing (cancelled).
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/DialogService.h"

namespace delvar::testing {

class ScriptedDialogs final : public app::DialogService {
  public:
    app::MessageAnswer ShowMessage(const app::Message& message) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;
    std::optional<std::string> AskOpenFile(const std::string& title, const std::string& filter,
                                           const std::string& initial) override;
    std::optional<std::string> AskSaveFile(const std::string& title, const std::string& filter,
                                           const std::string& initial) override;

    // Every message text shown, in order.
    std::vector<std::string> Texts() const;

    std::vector<app::Message> messages;
    std::vector<std::string> prompts;  // input and file dialog titles/prompts, in order
    std::deque<app::MessageAnswer> answers;
    std::deque<std::optional<std::string>> textAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
};

}  // namespace delvar::testing
