// The data-log window (modeless): log mode, start and end of the time window, the
// interval, a new log file, viewing the file, and a notice of lines not written.
#pragma once

#include <QDialog>
#include <QSpinBox>
#include <array>
#include <functional>
#include <optional>

#include "core/DialogService.h"
#include "monitor/DataLog.h"
#include "monitor/DataLogForm.h"
#include "monitor/DataLogSettings.h"

class QLabel;
class QRadioButton;

namespace delvar::windows {

// A spinner whose typed text is checked when it loses the focus or on Enter: check
// gives the value to take (or nothing after its message), and the box then shows the
// spinner's value again. Values change only then, not at each keystroke.
class CheckedSpinBox final : public QSpinBox {
    Q_OBJECT
  public:
    explicit CheckedSpinBox(QWidget* parent = nullptr);
    std::function<std::optional<int>(const std::string&)> check;

  protected:
    QValidator::State validate(QString& text, int& pos) const override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void CheckTyped();
    bool checking_ = false;  // a message box takes the focus while it is up
};

class frmDataLog final : public QDialog, private monitor::DataLogView {
    Q_OBJECT
  public:
    frmDataLog(monitor::DataLogSettings& s, monitor::DataLog& log, core::DialogService& dialogs,
               QWidget* parent = nullptr);
    ~frmDataLog() override;

  private:
    void ShowMode(int mode) override;
    void ShowStart(int minutes, int seconds) override;
    void ShowEnd(int minutes, int seconds) override;
    void ShowInterval(int seconds) override;
    void ShowCaption(const std::string& caption) override;
    void ShowFailures(const std::string& notice) override;
    bool OpenDocument(const std::string& path) override;

    CheckedSpinBox* Spinner(const char* name, int max, monitor::TimeField field);

    monitor::DataLog& log_;
    monitor::DataLogForm form_;
    std::array<QRadioButton*, 3> optLog_{};
    CheckedSpinBox* spnStartMin_ = nullptr;
    CheckedSpinBox* spnStartSec_ = nullptr;
    CheckedSpinBox* spnEndMin_ = nullptr;
    CheckedSpinBox* spnEndSec_ = nullptr;
    CheckedSpinBox* spnInterval_ = nullptr;
    QLabel* lblFailures_ = nullptr;
    int listener_ = 0;
};

}  // namespace delvar::windows
