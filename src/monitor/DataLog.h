// The data log: one run of rows per deposition, appended line by line (CR LF) to a
// comma-separated text file that is opened, appended to and closed for every line.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "commands/RunReadings.h"
#include "core/DialogService.h"
#include "monitor/DataLogSettings.h"
#include "monitor/WallClock.h"

namespace delvar::monitor {

inline constexpr long kLogSizeQuestion = 1000000;  // bytes: offer to delete from here on

class DataLog {
  public:
    // settings.File is taken beside folder when it is a bare name.
    DataLog(DataLogSettings& settings, std::string folder, WallClock& clock,
            core::DialogService& dialogs);

    bool Enabled() const { return settings_.LogMode > 0; }

    // Begins a log run: deletes the file in overwrite mode, offers to delete a file of
    // a million bytes or more (pumpEvents runs first), writes the start and heading
    // lines. Returns the poll period to use from now: with interval 0 the instrument's
    // measurement period (readPeriod, s) when that is shorter than pollPeriodMs.
    int InitDataLog(int pollPeriodMs, const std::function<std::optional<double>()>& readPeriod,
                    const std::function<void()>& pumpEvents);
    // A row when the interval has passed and the run time lies in the start..end
    // window (equal start and end: no window). Nothing outside a run.
    void WriteRow(const std::string& phaseText, const commands::RunReadings& readings);
    // The end line of the run begun last.
    void EndRun();

    int FailedLines() const { return failedLines_; }
    // "" while every line was written, else the notice for the operator.
    std::string FailureText() const;
    // listener runs after each line that could not be written, until removed by the
    // number this returns.
    int AddFailureListener(std::function<void()> listener);
    void RemoveFailureListener(int id) { listeners_.erase(id); }
    std::string Path() const;

  private:
    void Append(const std::string& text);

    DataLogSettings& settings_;
    std::string folder_;
    WallClock& clock_;
    core::DialogService& dialogs_;
    bool running_ = false;
    double startTime_ = 0;    // clock s of the run start
    double lastRowTime_ = 0;  // clock s of the last row
    int failedLines_ = 0;
    std::string failedPath_;
    std::map<int, std::function<void()>> listeners_;
    int nextListener_ = 1;
};

// Thickness in A shown in kA: 3 decimals below 10, 2 below 100, 1 below 1000, else
// nothing (negative values take 3).
std::string FormatThick(double thicknessA);
// One row: run time, phase, the four outputs, then the four sensors.
std::string DataRow(double runTime, const std::string& phaseText,
                    const commands::RunReadings& readings);

}  // namespace delvar::monitor
