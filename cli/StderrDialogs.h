// Dialogs for the command-line tool: messages go to stderr with their exact text,
// questions take their default answer (No) unless the verb set another, and input
// prompts are cancelled; a save dialog answers the file the verb set, if any.
#pragma once

#include <iostream>

#include "core/DialogService.h"

namespace delvar::cli {

class StderrDialogs final : public core::MessageOnlyDialogs {
  public:
    core::MessageAnswer ShowMessage(const core::Message& message) override {
        std::cerr << message.text << "\n";
        switch (message.buttons) {
            case core::MessageButtons::YesNo:
            case core::MessageButtons::YesNoCancel:
                return questionAnswer;
            case core::MessageButtons::OkCancel:
            case core::MessageButtons::RetryCancel:
                return core::MessageAnswer::Cancel;
            default:
                return core::MessageAnswer::Ok;
        }
    }
    std::optional<std::string> AskSaveFile(const core::FileRequest&) override { return saveFile; }
    using DialogService::AskSaveFile;

    core::MessageAnswer questionAnswer = core::MessageAnswer::No;
    std::optional<std::string> saveFile;
};

}  // namespace delvar::cli
