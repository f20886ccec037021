// The logic of the data-log window: the log mode, the start/end window and interval
// spinners, the checks of their typed values, a new log file, and the notice of
// lines that could not be written.
#pragma once

#include <optional>
#include <string>

#include "core/DialogService.h"
#include "monitor/DataLog.h"
#include "monitor/DataLogSettings.h"

namespace delvar::monitor {

// What the logic needs of the window's controls. Setting a control from here never
// comes back as a change.
class DataLogView {
  public:
    virtual ~DataLogView() = default;
    virtual void ShowMode(int mode) = 0;  // selects option button 0..2
    virtual void ShowStart(int minutes, int seconds) = 0;
    virtual void ShowEnd(int minutes, int seconds) = 0;
    virtual void ShowInterval(int seconds) = 0;
    virtual void ShowCaption(const std::string& caption) = 0;
    virtual void ShowFailures(const std::string& notice) = 0;  // "" hides it
    virtual bool OpenDocument(const std::string& path) = 0;    // with the system's program
};

// The text boxes of the spinners and their ranges.
enum class TimeField { Minutes, Seconds, Interval };

class DataLogForm {
  public:
    DataLogForm(DataLogSettings& settings, DataLog& log, core::DialogService& dialogs,
                DataLogView& view);

    void Load();
    void ModeChosen(int mode);
    void StartChanged(int minutes, int seconds);
    void EndChanged(int minutes, int seconds);
    void IntervalChanged(int seconds);
    // A typed value when its box loses the focus: the value for the spinner, or
    // nothing after the range message was shown.
    std::optional<int> CheckEntry(TimeField field, const std::string& text);
    void NewFile();
    void ViewFile();
    void FailuresChanged();

  private:
    DataLogSettings& settings_;
    DataLog& log_;
    core::DialogService& dialogs_;
    DataLogView& view_;
};

}  // namespace delvar::monitor
