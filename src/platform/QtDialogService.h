// The dialog service on Qt: message boxes, input boxes and file dialogs.
#pragma once

#include <memory>
#include <string>

#include "core/DialogService.h"

class QFileDialog;
class QWidget;

namespace delvar::platform {

// A dialog filter "Label|*.a;*.b|Label2|*.c" in Qt's form "Label (*.a *.b);;Label2 (*.c)".
// A label that already ends with its patterns ("DB Files (*.mdb)") shows them once.
std::string QtFileFilter(const std::string& filter);

// The save dialog of a request, not yet shown: Qt's own dialog, which adds the default
// suffix before it asks about replacing a file (a native one may ask about the name as
// typed and add the suffix afterwards).
std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* parent, const core::FileRequest& request);

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
    std::optional<std::string> AskSaveFile(const core::FileRequest& request) override;
    using DialogService::AskSaveFile;

  private:
    QWidget* parent_;
};

}  // namespace delvar::platform
