// A dialog service for tests: records every message and prompt, and answers from
// queues the test fills. Message boxes take the next of `answers` (a queued answer that
// is no button of the box fails the test), or their first button when it is empty.
// Input boxes take the next of `textAnswers`, file dialogs the next of `fileAnswers`,
// or answer nothing, as when cancelled.
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
                                       const std::string& initial) override {
        return Ask({Prompt::Kind::Text, prompt, title, "", initial});
    }
    std::optional<std::string> AskOpenFile(const std::string& title, const std::string& filter,
                                           const std::string& initial) override {
        return Ask({Prompt::Kind::OpenFile, "", title, filter, initial});
    }
    std::optional<std::string> AskSaveFile(const std::string& title, const std::string& filter,
                                           const std::string& initial) override {
        return Ask({Prompt::Kind::SaveFile, "", title, filter, initial});
    }

    // Every message text shown, in order; the last one ("" when none was shown).
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : messages) texts.push_back(m.text);
        return texts;
    }
    std::string LastText() const { return messages.empty() ? "" : messages.back().text; }
    // Forgets what was shown and prompted (the answer queues stay).
    void ClearRecord() {
        messages.clear();
        prompts.clear();
    }

    std::vector<core::Message> messages;
    std::vector<Prompt> prompts;
    std::deque<core::MessageAnswer> answers;
    std::deque<std::optional<std::string>> textAnswers;
    std::deque<std::optional<std::string>> fileAnswers;

  private:
    std::optional<std::string> Ask(Prompt prompt);
};

}  // namespace delvar::testing
