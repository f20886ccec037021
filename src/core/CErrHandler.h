// The shared error handler: a stack of the procedures being run, and a report of
// every unexpected error as a message box and an entry in the error file (or table).
#pragma once

#include <exception>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/AppInfo.h"
#include "core/DialogService.h"
#include "core/ErrorRecordSet.h"

namespace delvar::core {

// The error being reported.
struct ErrorInfo {
    long number = 0;
    std::string description;
    long line = 0;  // 0: the procedure has no line numbers

    // A caught exception as an error: number given, or the customary run-time error
    // number of its kind (7 out of memory, 9 out of range, 6 overflow, 5 invalid
    // argument, the code of a system error, else 0).
    static ErrorInfo From(const std::exception& e, std::optional<long> number = std::nullopt);
    // The exception being handled (call inside a catch block); non-standard exceptions
    // give "Unknown error".
    static ErrorInfo FromCurrentException();
};

// Current date and time as text, for the reports.
using TimeTextProvider = std::function<std::string()>;

// Local date and time in the user's locale ("%x %X"), never touching the global locale.
std::string GeneralDateTimeNow();

class CErrHandler {
  public:
    static constexpr int kDefaultMaxProcStackItems = 100;
    static constexpr int kLargestMaxProcStackItems = 32767;

    // reportPath is the default destination ("ERRORS.TXT" in the user's data folder);
    // traceFolder is where "trace.log" goes when tracing is switched on. dialogs must
    // outlive the handler: the end-of-program check uses it.
    CErrHandler(DialogService& dialogs, AppInfo info, std::string reportPath,
                std::string traceFolder, TimeTextProvider timeText = GeneralDateTimeNow);
    // Closes the trace and complains when procedures are still on the stack.
    ~CErrHandler();
    CErrHandler(const CErrHandler&) = delete;
    CErrHandler& operator=(const CErrHandler&) = delete;

    // Enters a procedure: its name goes on the stack (and into the trace).
    void Push(const std::string& procedure);
    // Leaves the procedure on top of the stack.
    void Pop();
    // Reports error as raised in the procedure on top of the stack.
    void HandleError(const ErrorInfo& error);
    // Deletes the report file (a missing one is fine) or every record of the table;
    // false when that failed or the table is not set.
    bool ClearLog();

    // Destination: a file name, or a record set (nullptr: not initialised).
    void SetDestination(const std::string& path) { destination_ = path; }
    void SetDestination(ErrorRecordSet* records) { destination_ = records; }
    bool DestinationIsFile() const { return std::holds_alternative<std::string>(destination_); }
    std::string DestinationFile() const;         // empty when the destination is a table
    ErrorRecordSet* DestinationRecords() const;  // nullptr when the destination is a file

    bool DisplayMsgOnError = true;
    bool IncludeExpandedInfo = true;
    std::string MessageTitle;      // set to the program's title by the first report when empty
    std::string CurrentOperation;  // added to reports when not empty

    int MaxProcStackItems() const { return maxItems_; }
    // Re-creates the stack with every entry empty (items taken within 0..32767). The
    // depth is kept, so that procedures still running pop without an underflow.
    void SetMaxProcStackItems(int items);
    bool TraceExecution() const { return tracing_; }
    // On: starts a new trace file (an old one is deleted). Off: stops writing to it.
    void SetTraceExecution(bool on);
    std::string TracePath() const;

    int Depth() const { return depth_; }
    long ErrorNumber() const { return errorNumber_; }
    long ErrorLine() const { return errorLine_; }
    const std::string& ErrorString() const { return errorString_; }
    const std::string& ErrorProc() const { return errorProc_; }

    // Raised before a report is written; setting cancel skips the report and message.
    std::function<void(bool& cancel)> OnBeforeReport;
    // Raised after the report (also when no message was shown or it was cancelled).
    std::function<void()> OnReported;

  private:
    const std::string& NameAtDepth() const;
    std::vector<std::string> StackLines() const;
    std::vector<std::string> ExpandedLines() const;
    void WriteReport();
    void WriteFileReport(const std::string& path) const;
    void WriteRecordReport(ErrorRecordSet* records);
    void ShowErrorMessage();
    void NonFatal(const std::string& what);

    DialogService& dialogs_;
    AppInfo info_;
    std::string traceFolder_;
    TimeTextProvider timeText_;
    std::variant<std::string, ErrorRecordSet*> destination_;
    int maxItems_ = kDefaultMaxProcStackItems;
    std::vector<std::string> stack_;  // indices 0 .. maxItems_ + 2; index 0 stays empty
    int depth_ = 0;
    bool tracing_ = false;
    std::ofstream trace_;
    long errorNumber_ = 0;
    long errorLine_ = 0;
    std::string errorString_;
    std::string errorProc_;
};

// Pushes a procedure name for its lifetime: the pattern every fallible procedure follows.
//   ProcGuard guard(handler, "modDatabase_DBOpen");
class ProcGuard {
  public:
    ProcGuard(CErrHandler& handler, const std::string& procedure) : handler_(handler) {
        handler_.Push(procedure);
    }
    ~ProcGuard() { handler_.Pop(); }
    ProcGuard(const ProcGuard&) = delete;
    ProcGuard& operator=(const ProcGuard&) = delete;

  private:
    CErrHandler& handler_;
};

}  // namespace delvar::core
