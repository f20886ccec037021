// The dialog service on Qt: message boxes, input boxes and file dialogs.
#pragma once

#include <string>

#include "core/DialogService.h"

class QWidget;

namespace delvar::platform {

// A dialog filter "Label|*.a;*.b|Label2|*.c" in Qt's form "Label (*.a *.b);;Label2 (*.c)".
std::string QtFileFilter(const std::string& filter);

// Message boxes map icon and buttons to QMessageBox; a system-modal message blocks the
// whole program and stays on top of every window.

class QtDialogService final : public core::DialogService {
  public:
    explicit QtDialogService(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    core::MessageAnswer ShowMessage(const core::Message& message) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;
    std::optional<std::string> AskOpenFile(const std::string& title, const std::string& filter,
                                           const std::string& initial) override;
    std::optional<std::string> AskSaveFile(const std::string& title, const std::string& filter,
                                           const std::string& initial) override;

  private:
    QWidget* parent_;
};

}  // namespace delvar::platform
