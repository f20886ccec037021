#include "core/CErrHandler.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <locale>
#include <new>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace delvar::core {

namespace {
constexpr std::size_t kMaxErrorString = 255;  // characters kept in the report
constexpr const char* kCrLf = "\r\n";
constexpr const char* kTraceFileName = "trace.log";
const std::string kNoName;

std::string TwoDigits(std::size_t k) {
    char text[24];
    std::snprintf(text, sizeof text, "%02zu", k);
    return text;
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + kCrLf;
    return text;
}
}  // namespace

ErrorInfo ErrorInfo::From(const std::exception& e, std::optional<long> number) {
    if (!number) {
        if (auto* system = dynamic_cast<const std::system_error*>(&e))
            number = system->code().value();
        else if (dynamic_cast<const std::bad_alloc*>(&e))
            number = 7;
        else if (dynamic_cast<const std::out_of_range*>(&e))
            number = 9;
        else if (dynamic_cast<const std::overflow_error*>(&e))
            number = 6;
        else if (dynamic_cast<const std::invalid_argument*>(&e) ||
                 dynamic_cast<const std::domain_error*>(&e))
            number = 5;
        else
            number = 0;
    }
    return {*number, e.what(), 0};
}

ErrorInfo ErrorInfo::FromCurrentException() {
    try {
        if (auto current = std::current_exception()) std::rethrow_exception(current);
    } catch (const std::exception& e) {
        return From(e);
    } catch (...) {
    }
    return {0, "Unknown error", 0};
}

std::string GeneralDateTimeNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::ostringstream out;
    try {
        // The user's locale for this stream only; the process-wide locale stays as it is.
        out.imbue(std::locale(""));
    } catch (const std::exception&) {
        out.imbue(std::locale::classic());
    }
    out << std::put_time(&local, "%x %X");
    return out.str();
}

CErrHandler::CErrHandler(DialogService& dialogs, AppInfo info, std::string reportPath,
                         std::string traceFolder, TimeTextProvider timeText)
    : dialogs_(dialogs),
      info_(std::move(info)),
      traceFolder_(std::move(traceFolder)),
      timeText_(std::move(timeText)),
      destination_(std::move(reportPath)) {
    SetMaxProcStackItems(kDefaultMaxProcStackItems);
}

CErrHandler::~CErrHandler() {
    if (tracing_) trace_.close();
    if (depth_ == 0) return;
    try {
        NonFatal("Error Trace Stack = " + std::to_string(depth_) +
                 " on Terminate.\nProcedure: " + NameAtDepth());
    } catch (...) {
        // Nothing more can be done about a failing message box at program end.
    }
}

std::string CErrHandler::DestinationFile() const {
    return DestinationIsFile() ? std::get<std::string>(destination_) : std::string();
}

ErrorRecordSet* CErrHandler::DestinationRecords() const {
    return DestinationIsFile() ? nullptr : std::get<ErrorRecordSet*>(destination_);
}

void CErrHandler::SetMaxProcStackItems(int items) {
    maxItems_ = std::clamp(items, 0, kLargestMaxProcStackItems);
    stack_ = std::vector<std::string>(std::size_t(maxItems_) + 3);  // fresh: no room past max + 2
}

std::string CErrHandler::TracePath() const {
    return (std::filesystem::path(traceFolder_) / kTraceFileName).string();
}

void CErrHandler::SetTraceExecution(bool on) {
    tracing_ = on;
    if (!on) return;
    trace_.close();
    std::error_code ignored;
    std::filesystem::remove(TracePath(), ignored);
    trace_.clear();
    trace_.open(TracePath(), std::ios::out | std::ios::trunc | std::ios::binary);
}

const std::string& CErrHandler::NameAtDepth() const {
    // Names pushed beyond the stack's room were not kept.
    return depth_ > 0 && depth_ <= maxItems_ ? stack_[std::size_t(depth_)] : kNoName;
}

void CErrHandler::NonFatal(const std::string& what) {
    dialogs_.ShowMessage({"Non Fatal Error:\n" + what,
                          MessageTitle.empty() ? info_.title : MessageTitle,
                          MessageIcon::Information, MessageButtons::Ok});
}

void CErrHandler::Push(const std::string& procedure) {
    ++depth_;
    // Past the stack's room the name is not kept, but the depth still counts it so
    // that the matching pop restores the count.
    if (depth_ <= maxItems_)
        stack_[std::size_t(depth_)] = procedure;
    else
        NonFatal("Error Stack Overflow.");
    if (tracing_ && trace_) trace_ << procedure << '\n' << std::flush;
}

void CErrHandler::Pop() {
    if (depth_ > 0 && depth_ <= maxItems_) stack_[std::size_t(depth_)].clear();
    --depth_;
    if (depth_ < 0) {
        NonFatal("Error Stack Underflow.");
        depth_ = 0;
    }
}

std::vector<std::string> CErrHandler::StackLines() const {
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < stack_.size(); ++k)
        if (!stack_[k].empty()) lines.push_back(TwoDigits(k) + std::string(2 * k, ' ') + stack_[k]);
    return lines;
}

std::vector<std::string> CErrHandler::ExpandedLines() const {
    std::error_code ignored;
    return {"Current Directory: " + std::filesystem::current_path(ignored).string(),
            "App Title: " + info_.title,
            "App CompanyName: " + info_.companyName,
            "App Major: " + std::to_string(info_.major),
            "App Minor: " + std::to_string(info_.minor),
            "App Revision: " + std::to_string(info_.revision),
            "App Path: " + info_.path,
            "App ProductName: " + info_.productName};
}

void CErrHandler::WriteFileReport(const std::string& path) const {
    std::vector<std::string> lines = {
        MessageTitle + " Application Error Information",
        std::string(36, '='),
        "Current Time   : " + (timeText_ ? timeText_() : std::string()),
        "Error String   : " + errorString_.substr(0, kMaxErrorString),
        "Error Number   : " + std::to_string(errorNumber_),
        "Error Line     : " + std::to_string(errorLine_),
        "Error Procedure: " + errorProc_,
        "",
        "Procedure Stack",
        std::string(15, '-'),
    };
    for (auto& line : StackLines()) lines.push_back(std::move(line));
    lines.push_back("");
    if (!CurrentOperation.empty()) lines.push_back("Current Operation: " + CurrentOperation);
    if (IncludeExpandedInfo) {
        lines.push_back("");
        lines.push_back("Additional Information");
        lines.push_back(std::string(22, '-'));
        for (auto& line : ExpandedLines()) lines.push_back(std::move(line));
        lines.push_back("");
    }
    // Opened, appended to and closed for each report, so every report is on disk at once.
    std::ofstream out(path, std::ios::out | std::ios::app | std::ios::binary);
    if (out) out << JoinCrLf(lines);
}

void CErrHandler::WriteRecordReport(ErrorRecordSet* records) {
    if (!records) {
        dialogs_.ShowMessage(
            {"Error handler cannot write to the [Errors] errors table because the Destination "
             "recordset variable has not been initialized.",
             MessageTitle, MessageIcon::Critical, MessageButtons::Ok});
        return;
    }
    std::vector<std::string> stack = StackLines();
    if (!CurrentOperation.empty()) stack.push_back("Current Operation: " + CurrentOperation);
    ErrorRecord record;
    record.ErrorDate = timeText_ ? timeText_() : std::string();
    record.ErrorString = errorString_.substr(0, kMaxErrorString);
    record.ErrorNumber = errorNumber_;
    record.ErrorLine = errorLine_;
    record.ErrorProc = errorProc_;
    record.CallStack = JoinCrLf(stack);
    if (IncludeExpandedInfo) record.AdditionalInfo = JoinCrLf(ExpandedLines());
    records->AddRecord(record);
}

void CErrHandler::WriteReport() {
    // A report that cannot be written is not a second error: the message still follows.
    try {
        if (DestinationIsFile())
            WriteFileReport(std::get<std::string>(destination_));
        else
            WriteRecordReport(std::get<ErrorRecordSet*>(destination_));
    } catch (...) {
    }
}

void CErrHandler::ShowErrorMessage() {
    std::string text = "The following error has occurred in procedure: \n" + errorProc_ +
                       " on line " + std::to_string(errorLine_) + "\nError (" +
                       std::to_string(errorNumber_) + ") " + errorString_;
    if (!CurrentOperation.empty()) text += "\nCurrent Operation: " + CurrentOperation;
    dialogs_.ShowMessage({text, MessageTitle, MessageIcon::Critical, MessageButtons::Ok});
}

void CErrHandler::HandleError(const ErrorInfo& error) {
    errorNumber_ = error.number;
    errorLine_ = error.line;
    errorString_ = error.description;
    errorProc_ = NameAtDepth();
    if (MessageTitle.empty()) MessageTitle = info_.title;

    bool cancel = false;
    if (OnBeforeReport) OnBeforeReport(cancel);
    if (!cancel) {
        WriteReport();
        if (DisplayMsgOnError) ShowErrorMessage();
    }
    if (OnReported) OnReported();
}

bool CErrHandler::ClearLog() {
    if (DestinationIsFile()) {
        std::error_code failed;
        std::filesystem::remove(std::get<std::string>(destination_), failed);
        return !failed;  // a missing file is not an error for remove()
    }
    ErrorRecordSet* records = std::get<ErrorRecordSet*>(destination_);
    if (!records) return false;
    return records->Count() == 0 || records->DeleteAll();
}

}  // namespace delvar::core
