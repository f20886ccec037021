// Dialogs for the command-line tool: messages go to stderr with their exact text,
// questions take their default answer (No) unless the verb set another, and input
// prompts are cancelled; a save dialog answers the file the verb set, if any.
#pragma once

#include <iostream>

#include "app/DialogService.h"

namespace delvar::cli {

class StderrDialogs final : public app::MessageOnlyDialogs {
  public:
    app::MessageAnswer ShowMessage(const app::Message& message) override {
        std::cerr << message.text << "\n";
        switch (message.buttons) {
            case app::MessageButtons::YesNo:
            case app::MessageButtons::YesNoCancel:
                return questionAnswer;
            case app::MessageButtons::OkCancel:
            case app::MessageButtons::RetryCancel:
                return app::MessageAnswer::Cancel;
            default:
                return app::MessageAnswer::Ok;
        }
    }
    std::optional<std::string> AskSaveFile(const std::string&, const std::string&,
                                           const std::string&) override {
        return saveFile;
    }

    app::MessageAnswer questionAnswer = app::MessageAnswer::No;
    std::optional<std::string> saveFile;
};

}  // namespace delvar::cli
