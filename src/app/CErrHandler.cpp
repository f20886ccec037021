#include "app/CErrHandler.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <locale>
#include <sstream>

namespace delvar::app {

namespace {
constexpr std::size_t kMaxErrorString = 255;
const char* const kCrLf = "\r\n";

std::string TwoDigits(int k) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", k);
    return text;
}
}  // namespace

std::string GeneralDateTimeNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::ostringstream out;
    try {
        out.imbue(std::locale(""));
    } catch (const std::runtime_error&) {
        out.imbue(std::locale::classic());
    }
    out << std::put_time(&local, "%x %X");
    return out.str();
}

CErrHandler::CErrHandler(DialogService& dialogs, AppInfo info, std::string reportPath,
                         std::string traceFolder)
    : dialogs_(dialogs),
      info_(std::move(info)),
      traceFolder_(std::move(traceFolder)),
      destination_(std::move(reportPath)) {
    TimeText = GeneralDateTimeNow;
    SetMaxProcStackItems(kDefaultMaxProcStackItems);
}

CErrHandler::~CErrHandler() {
    if (tracing_) trace_.close();
    if (depth_ != 0) {
        std::string name = depth_ > 0 && depth_ <= maxItems_ ? stack_[std::size_t(depth_)] : "";
        NonFatal("Error Trace Stack = " + std::to_string(depth_) +
                 " on Terminate.\nProcedure: " + name);
    }
}

std::string CErrHandler::DestinationFile() const {
    return DestinationIsFile() ? std::get<std::string>(destination_) : std::string();
}

void CErrHandler::SetMaxProcStackItems(int items) {
    maxItems_ = items < 0 ? 0 : items;
    stack_.assign(std::size_t(maxItems_) + 3, std::string());  // indices 0 .. max + 2
    depth_ = 0;
}

void CErrHandler::SetTraceExecution(bool on) {
    tracing_ = on;
    if (!on) return;
    std::error_code ignored;
    std::filesystem::remove(TracePath(), ignored);
    trace_.close();
    trace_.open(TracePath(), std::ios::out | std::ios::trunc);
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
    if (tracing_ && trace_) trace_ << procedure << "\n" << std::flush;
}

void CErrHandler::Pop() {
    if (depth_ >= 0 && depth_ <= maxItems_) stack_[std::size_t(depth_)].clear();
    --depth_;
    if (depth_ < 0) {
        NonFatal("Error Stack Underflow.");
        depth_ = 0;
    }
}

std::vector<std::string> CErrHandler::StackLines() const {
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < stack_.size(); ++k)
        if (!stack_[k].empty())
            lines.push_back(TwoDigits(int(k)) + std::string(2 * k, ' ') + stack_[k]);
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

void CErrHandler::WriteFileReport(const std::string& path) {
    std::vector<std::string> lines = {
        MessageTitle + " Application Error Information",
        std::string(36, '='),
        "Current Time   : " + (TimeText ? TimeText() : std::string()),
        "Error String   : " + errorString_.substr(0, kMaxErrorString),
        "Error Number   : " + std::to_string(errorNumber_),
        "Error Line     : " + std::to_string(errorLine_),
        "Error Procedure: " + errorProc_,
        "",
        "Procedure Stack",
        std::string(15, '-'),
    };
    for (auto& line : StackLines()) lines.push_back(line);
    lines.push_back("");
    if (!CurrentOperation.empty()) lines.push_back("Current Operation: " + CurrentOperation);
    if (IncludeExpandedInfo) {
        lines.push_back("");
        lines.push_back("Additional Information");
        lines.push_back(std::string(22, '-'));
        for (auto& line : ExpandedLines()) lines.push_back(line);
        lines.push_back("");
    }
    std::ofstream out(path, std::ios::out | std::ios::app | std::ios::binary);
    if (!out) return;  // a report that cannot be written is not a second error
    for (auto& line : lines) out << line << kCrLf;
}

void CErrHandler::WriteRecordReport(ErrorRecordSet* records) {
    if (!records) {
        dialogs_.ShowMessage(
            {"Error handler cannot write to the [Errors] errors table because the Destination "
             "recordset variable has not been initialized.",
             MessageTitle, MessageIcon::Critical, MessageButtons::Ok});
        return;
    }
    auto join = [](const std::vector<std::string>& lines) {
        std::string text;
        for (auto& line : lines) text += line + kCrLf;
        return text;
    };
    std::vector<std::string> stack = StackLines();
    if (!CurrentOperation.empty()) stack.push_back("Current Operation: " + CurrentOperation);
    ErrorRecord record;
    record.ErrorDate = TimeText ? TimeText() : std::string();
    record.ErrorString = errorString_.substr(0, kMaxErrorString);
    record.ErrorNumber = errorNumber_;
    record.ErrorLine = errorLine_;
    record.ErrorProc = errorProc_;
    record.CallStack = join(stack);
    if (IncludeExpandedInfo) record.AdditionalInfo = join(ExpandedLines());
    records->AddRecord(record);
}

void CErrHandler::HandleError(const ErrorInfo& error) {
    errorNumber_ = error.number;
    errorLine_ = error.line;
    errorString_ = error.description;
    errorProc_ = depth_ >= 0 && depth_ <= maxItems_ ? stack_[std::size_t(depth_)] : std::string();
    if (MessageTitle.empty()) MessageTitle = info_.title;

    bool cancel = false;
    if (OnBeforeReport) OnBeforeReport(cancel);
    if (!cancel) {
        if (DestinationIsFile())
            WriteFileReport(std::get<std::string>(destination_));
        else
            WriteRecordReport(std::get<ErrorRecordSet*>(destination_));
        if (DisplayMsgOnError) {
            std::string text = "The following error has occurred in procedure: \n" + errorProc_ +
                               " on line " + std::to_string(errorLine_) + "\nError (" +
                               std::to_string(errorNumber_) + ") " + errorString_;
            if (!CurrentOperation.empty()) text += "\nCurrent Operation: " + CurrentOperation;
            dialogs_.ShowMessage({text, MessageTitle, MessageIcon::Critical, MessageButtons::Ok});
        }
    }
    if (OnReported) OnReported();
}

bool CErrHandler::ClearLog() {
    if (DestinationIsFile()) {
        std::error_code ignored;
        std::filesystem::remove(std::get<std::string>(destination_), ignored);
        return true;
    }
    if (auto* records = std::get<ErrorRecordSet*>(destination_); records && records->Count() > 0)
        records->DeleteAll();
    return true;
}

}  // namespace delvar::app
