// The shared error handler: a stack of the procedures being run, and a report of
// every unexpected error as a message box and an entry in the error file (or table).
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "app/AppInfo.h"
#include "app/DialogService.h"
#include "app/ErrorRecordSet.h"

namespace delvar::app {

// The error being reported.
struct ErrorInfo {
    long number = 0;
    std::string description;
    long line = 0;  // 0: the procedure has no line numbers
    static ErrorInfo From(const std::exception& e, long number = 0) {
        return {number, e.what(), 0};
    }
};

class CErrHandler {
  public:
    static constexpr int kDefaultMaxProcStackItems = 100;

    // reportPath is the default destination ("ERRORS.TXT" in the user's data folder);
    // traceFolder is where "trace.log" goes when tracing is switched on.
    CErrHandler(DialogService& dialogs, AppInfo info, std::string reportPath,
                std::string traceFolder);
    // Closes the trace and complains when procedures are still on the stack.
    ~CErrHandler();
    CErrHandler(const CErrHandler&) = delete;
    CErrHandler& operator=(const CErrHandler&) = delete;

    void Push(const std::string& procedure);
    void Pop();
    void HandleError(const ErrorInfo& error);
    // Deletes the report file, or every record of the table.
    bool ClearLog();

    // Destination: a file name, or a record set (nullptr: not initialised).
    void SetDestination(const std::string& path) { destination_ = path; }
    void SetDestination(ErrorRecordSet* records) { destination_ = records; }
    bool DestinationIsFile() const { return std::holds_alternative<std::string>(destination_); }
    std::string DestinationFile() const;

    bool DisplayMsgOnError = true;
    bool IncludeExpandedInfo = true;
    std::string MessageTitle;
    std::string CurrentOperation;

    int MaxProcStackItems() const { return maxItems_; }
    // Re-creates the stack, empty.
    void SetMaxProcStackItems(int items);
    bool TraceExecution() const { return tracing_; }
    void SetTraceExecution(bool on);
    std::string TracePath() const { return traceFolder_ + "/trace.log"; }

    int Depth() const { return depth_; }
    long ErrorNumber() const { return errorNumber_; }
    long ErrorLine() const { return errorLine_; }
    const std::string& ErrorString() const { return errorString_; }
    const std::string& ErrorProc() const { return errorProc_; }

    // Raised before a report is written; setting cancel skips the report and message.
    std::function<void(bool& cancel)> OnBeforeReport;
    // Raised after the report (also when no message was shown).
    std::function<void()> OnReported;
    // Current date and time in the system's general format.
    std::function<std::string()> TimeText;

  private:
    std::vector<std::string> StackLines() const;
    std::vector<std::string> ExpandedLines() const;
    void WriteFileReport(const std::string& path);
    void WriteRecordReport(ErrorRecordSet* records);
    void NonFatal(const std::string& what);

    DialogService& dialogs_;
    AppInfo info_;
    std::string traceFolder_;
    std::variant<std::string, ErrorRecordSet*> destination_;
    int maxItems_ = kDefaultMaxProcStackItems;
    std::vector<std::string> stack_;
    int depth_ = 0;
    bool tracing_ = false;
    std::ofstream trace_;
    long errorNumber_ = 0;
    long errorLine_ = 0;
    std::string errorString_;
    std::string errorProc_;
};

// Pushes a procedure name for its lifetime: the pattern every fallible procedure follows.
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

// Local date and time in the user's locale, never touching the global locale.
std::string GeneralDateTimeNow();

}  // namespace delvar::app
