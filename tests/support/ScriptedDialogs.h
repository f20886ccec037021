// A dialog service for tests: records every message and answers from queues the test
// fills. Message boxes take the next of `answers` (a queued answer that is no button of
// the box fails the test), or their first button when it is empty. File dialogs take the
// next of `fileAnswers`; input boxes and empty queues answer nothing, as when cancelled.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/DialogService.h"

namespace delvar::testing {

class ScriptedDialogs final : public core::DialogService {
  public:
    core::MessageAnswer ShowMessage(const core::Message& message) override;
    // Input boxes take the next of `typed` (nothing, as when cancelled, when it is empty)
    // and are recorded as "title|prompt|initial".
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override {
        asked.push_back(title + "|" + prompt + "|" + initial);
        if (typed.empty()) return std::nullopt;
        std::optional<std::string> text = typed.front();
        typed.pop_front();
        return text;
    }
    std::optional<std::string> AskOpenFile(const std::string&, const std::string&,
                                           const std::string&) override {
        return NextFile();
    }
    // Save dialogs are recorded in saveRequests.
    std::optional<std::string> AskSaveFile(const core::FileRequest& request) override {
        saveRequests.push_back(request);
        return NextFile();
    }
    using DialogService::AskSaveFile;

    // Every message text shown, in order; the last one ("" when none was shown).
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : messages) texts.push_back(m.text);
        return texts;
    }
    std::string LastText() const { return messages.empty() ? "" : messages.back().text; }
    void ClearRecord() { messages.clear(); }

    std::vector<core::Message> messages;
    std::deque<core::MessageAnswer> answers;
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::optional<std::string>> typed;
    std::vector<std::string> asked;
    std::vector<core::FileRequest> saveRequests;

  private:
    std::optional<std::string> NextFile() {
        if (fileAnswers.empty()) return std::nullopt;
        std::optional<std::string> answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
};

}  // namespace delvar::testing
