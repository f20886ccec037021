// Dialogs for the command-line tool: messages go to stderr with their exact text,
// questions take their default answer, and input or file prompts are cancelled.
#pragma once

#include <iostream>

#include "app/DialogService.h"

namespace delvar::cli {

class StderrDialogs final : public app::DialogService {
  public:
    app::MessageAnswer ShowMessage(const app::Message& message) override {
        std::cerr << message.text << "\n";
        switch (message.buttons) {
            case app::MessageButtons::YesNo:
            case app::MessageButtons::YesNoCancel:
                return app::MessageAnswer::No;
            case app::MessageButtons::OkCancel:
            case app::MessageButtons::RetryCancel:
                return app::MessageAnswer::Cancel;
            default:
                return app::MessageAnswer::Ok;
        }
    }
    std::optional<std::string> AskText(const std::string&, const std::string&,
                                       const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> AskOpenFile(const std::string&, const std::string&,
                                           const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> AskSaveFile(const std::string&, const std::string&,
                                           const std::string&) override {
        return std::nullopt;
    }
};

}  // namespace delvar::cli
