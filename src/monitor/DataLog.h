// The data log: one run of rows per deposition, appended line by line (CR LF) to a
// text file that is never held open between ticks.
//
// CONTRACT used by the main window (implemented by the data-log work):
//   DataLog(DataLogSettings&, WallClock&, core::DialogService&)
//   bool Enabled() const                      LogMode > 0
//   int InitDataLog(int pollPeriodMs, readPeriod, pumpEvents)
//        begins a run (overwrite, the 1 000 000-byte question, start and heading
//        lines); returns the poll period to use (shorter with interval 0)
//   void WriteRow(phaseText, readings)        a row when due and inside the window
//   void EndRun()                             the end line
//   int FailedLines() const                   lines that could not be written
#pragma once

namespace delvar::monitor {

class DataLog;

}  // namespace delvar::monitor
