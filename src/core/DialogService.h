// Every message, question and input box of the program goes through this service:
// Qt dialogs in the program, a scripted answerer in tests.
#pragma once

#include <optional>
#include <string>

namespace delvar::core {

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

struct Message {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    bool systemModal = false;  // stays above every window until answered
};

// A file dialog: its title, filter ("Label|*.ext"), the file it starts on, and for a
// save dialog the suffix ("mdb") added to a name typed without one, before the dialog
// asks whether to replace an existing file, so the question covers the real name.
struct FileRequest {
    std::string title;
    std::string filter;
    std::string initial;
    std::string defaultSuffix;
};

// The extension of the first pattern of a filter ("DB Files|*.mdb" gives "mdb"); empty
// when that pattern names none ("*.*", "*").
std::string FilterSuffix(const std::string& filter);

class DialogService {
  public:
    virtual ~DialogService() = default;
    virtual MessageAnswer ShowMessage(const Message& message) = 0;
    // Input box: the entered text, or nothing when cancelled.
    virtual std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                               const std::string& initial) = 0;
    // File dialogs: the chosen path, or nothing when cancelled. filter is "Label|*.ext".
    virtual std::optional<std::string> AskOpenFile(const std::string& title,
                                                   const std::string& filter,
                                                   const std::string& initial) = 0;
    virtual std::optional<std::string> AskSaveFile(const FileRequest& request) = 0;
    // A save dialog whose default suffix is the filter's own (FilterSuffix).
    std::optional<std::string> AskSaveFile(const std::string& title, const std::string& filter,
                                           const std::string& initial) {
        return AskSaveFile(FileRequest{title, filter, initial, FilterSuffix(filter)});
    }
};

// For tools without windows: only messages are shown; input boxes and file dialogs
// answer as if cancelled unless a subclass says otherwise.
class MessageOnlyDialogs : public DialogService {
  public:
    std::optional<std::string> AskText(const std::string&, const std::string&,
                                       const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> AskOpenFile(const std::string&, const std::string&,
                                           const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> AskSaveFile(const FileRequest&) override { return std::nullopt; }
    using DialogService::AskSaveFile;
};

}  // namespace delvar::core
