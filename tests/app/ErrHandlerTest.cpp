#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/CErrHandler.h"
#include "app/CriticalError.h"
#include "platform/SqliteErrorRecordSet.h"
#include "support/ScriptedDialogs.h"

namespace delvar::app {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedDialogs;

struct TempFolder {
    fs::path path;
    TempFolder() {
        char name[] = "/tmp/delvar-err-XXXXXX";
        path = mkdtemp(name);
    }
    ~TempFolder() { fs::remove_all(path); }
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct HandlerRig {
    TempFolder folder;
    ScriptedDialogs dialogs;
    AppInfo info;
    std::unique_ptr<CErrHandler> handler;
    HandlerRig() {
        info.path = "/opt/delvar";
        handler =
            std::make_unique<CErrHandler>(dialogs, info, Report().string(), folder.path.string());
        handler->TimeText = [] { return std::string("12/07/2026 05:00:00"); };
    }
    fs::path Report() const { return folder.path / "ERRORS.TXT"; }
};

std::string ExpectedReport(const std::string& stackLines, const std::string& extra = "") {
    const std::string cwd = fs::current_path().string();
    return "Delvar Comm Application Error Information\r\n"
           "====================================\r\n"
           "Current Time   : 12/07/2026 05:00:00\r\n"
           "Error String   : Division by zero\r\n"
           "Error Number   : 11\r\n"
           "Error Line     : 0\r\n"
           "Error Procedure: B\r\n"
           "\r\n"
           "Procedure Stack\r\n"
           "---------------\r\n" +
           stackLines + "\r\n" + extra +
           "\r\n"
           "Additional Information\r\n"
           "----------------------\r\n"
           "Current Directory: " +
           cwd +
           "\r\n"
           "App Title: Delvar Comm\r\n"
           "App CompanyName: Delvar Comm developers\r\n"
           "App Major: 7\r\n"
           "App Minor: 0\r\n"
           "App Revision: 0\r\n"
           "App Path: /opt/delvar\r\n"
           "App ProductName: Delvar Comm\r\n"
           "\r\n";
}

TEST(ErrHandler, ReportsWithMessageAndFileByDefault) {
    HandlerRig r;
    r.handler->Push("A");
    r.handler->Push("B");
    r.handler->HandleError({11, "Division by zero", 0});
    EXPECT_EQ(r.handler->ErrorProc(), "B");
    ASSERT_EQ(r.dialogs.messages.size(), 1u);
    const Message& shown = r.dialogs.messages[0];
    EXPECT_EQ(shown.text,
              "The following error has occurred in procedure: \nB on line 0\nError (11) Division "
              "by zero");
    EXPECT_EQ(shown.title, "Delvar Comm");
    EXPECT_EQ(shown.icon, MessageIcon::Critical);
    EXPECT_EQ(Slurp(r.Report()), ExpectedReport("01  A\r\n02    B\r\n"));

    // A second report is appended after the first.
    r.handler->CurrentOperation = "Saving";
    r.handler->HandleError({11, "Division by zero", 0});
    EXPECT_EQ(Slurp(r.Report()),
              ExpectedReport("01  A\r\n02    B\r\n") +
                  ExpectedReport("01  A\r\n02    B\r\n", "Current Operation: Saving\r\n"));
    EXPECT_EQ(r.dialogs.messages[1].text.substr(r.dialogs.messages[1].text.find("\nCurrent")),
              "\nCurrent Operation: Saving");
    r.handler->Pop();
    r.handler->Pop();
}

TEST(ErrHandler, LongErrorStringIsCutInTheReportButNotInTheMessage) {
    HandlerRig r;
    r.handler->IncludeExpandedInfo = false;
    ProcGuard guard(*r.handler, "modDatabase_DBOpen");
    r.handler->HandleError({3, std::string(300, 'x'), 42});
    std::string report = Slurp(r.Report());
    EXPECT_NE(report.find("Error String   : " + std::string(255, 'x') + "\r\n"), std::string::npos);
    EXPECT_NE(report.find("Error Line     : 42\r\n"), std::string::npos);
    EXPECT_EQ(report.find("Additional Information"), std::string::npos);
    EXPECT_NE(r.dialogs.messages[0].text.find(std::string(300, 'x')), std::string::npos);
}

TEST(ErrHandler, PopOnAnEmptyStackComplainsOnce) {
    HandlerRig r;
    r.handler->Pop();
    EXPECT_EQ(r.handler->Depth(), 0);
    EXPECT_EQ(r.dialogs.Texts(),
              std::vector<std::string>{"Non Fatal Error:\nError Stack Underflow."});
    EXPECT_EQ(r.dialogs.messages[0].icon, MessageIcon::Information);
}

TEST(ErrHandler, PushesBeyondTheStackAreCountedNotStored) {
    HandlerRig r;
    r.handler->SetMaxProcStackItems(2);
    for (const char* name : {"one", "two", "three", "four"}) r.handler->Push(name);
    EXPECT_EQ(r.handler->Depth(), 4);
    EXPECT_EQ(r.dialogs.Texts(),
              (std::vector<std::string>{"Non Fatal Error:\nError Stack Overflow.",
                                        "Non Fatal Error:\nError Stack Overflow."}));
    r.handler->HandleError({1, "deep", 0});
    EXPECT_EQ(r.handler->ErrorProc(), "");  // the top name was never stored
    std::string report = Slurp(r.Report());
    EXPECT_NE(report.find("01  one\r\n02    two\r\n\r\n"), std::string::npos);
    for (int i = 0; i < 4; ++i) r.handler->Pop();
    EXPECT_EQ(r.handler->Depth(), 0);
    EXPECT_EQ(r.dialogs.messages.size(), 3u);  // no underflow
}

TEST(ErrHandler, CancelledReportShowsAndWritesNothing) {
    HandlerRig r;
    int reported = 0;
    r.handler->OnBeforeReport = [](bool& cancel) { cancel = true; };
    r.handler->OnReported = [&] { ++reported; };
    r.handler->HandleError({5, "x", 0});
    EXPECT_TRUE(r.dialogs.messages.empty());
    EXPECT_FALSE(fs::exists(r.Report()));
    EXPECT_EQ(reported, 1);
}

TEST(ErrHandler, UnwritableReportStillShowsTheMessage) {
    HandlerRig r;
    r.handler->SetDestination((r.folder.path / "missing" / "ERRORS.TXT").string());
    r.handler->HandleError({5, "x", 0});
    EXPECT_EQ(r.dialogs.messages.size(), 1u);
}

TEST(ErrHandler, RecordSetDestinationAndClearLog) {
    HandlerRig r;
    platform::SqliteErrorRecordSet records((r.folder.path / "errors.db").string());
    ASSERT_TRUE(records.Ok());
    r.handler->SetDestination(&records);
    EXPECT_FALSE(r.handler->DestinationIsFile());
    r.handler->Push("frmMain_Load");
    r.handler->HandleError({7, "Out of memory", 3});
    r.handler->HandleError({8, "Again", 4});
    EXPECT_EQ(records.Count(), 2);
    EXPECT_TRUE(r.handler->ClearLog());
    EXPECT_EQ(records.Count(), 0);
    r.handler->Pop();

    r.handler->SetDestination(static_cast<ErrorRecordSet*>(nullptr));
    r.dialogs.messages.clear();
    r.handler->HandleError({9, "x", 0});
    ASSERT_EQ(r.dialogs.messages.size(), 2u);
    EXPECT_EQ(r.dialogs.messages[0].text,
              "Error handler cannot write to the [Errors] errors table because the Destination "
              "recordset variable has not been initialized.");
}

TEST(ErrHandler, ClearLogOfAFileAndOfAMissingFile) {
    HandlerRig r;
    r.handler->HandleError({1, "x", 0});
    ASSERT_TRUE(fs::exists(r.Report()));
    EXPECT_TRUE(r.handler->ClearLog());
    EXPECT_FALSE(fs::exists(r.Report()));
    EXPECT_TRUE(r.handler->ClearLog());
}

TEST(ErrHandler, TraceWritesEveryPushedName) {
    HandlerRig r;
    std::ofstream(r.folder.path / "trace.log") << "old run\n";
    r.handler->SetTraceExecution(true);
    r.handler->SetMaxProcStackItems(1);
    r.handler->Push("first");
    r.handler->Push("second");  // beyond the stack, still traced
    r.handler->Pop();
    r.handler->Pop();
    EXPECT_EQ(Slurp(r.folder.path / "trace.log"), "first\nsecond\n");
}

TEST(ErrHandler, EndOfProgramWithProceduresOnTheStack) {
    HandlerRig r;
    r.handler->Push("frmMain_Load");
    r.handler->Push("Comm_FindDelvar");
    r.handler.reset();
    EXPECT_EQ(
        r.dialogs.Texts(),
        std::vector<std::string>{
            "Non Fatal Error:\nError Trace Stack = 2 on Terminate.\nProcedure: Comm_FindDelvar"});
}

TEST(ErrHandler, CleanEndOfProgramSaysNothing) {
    HandlerRig r;
    { ProcGuard guard(*r.handler, "x"); }
    r.handler.reset();
    EXPECT_TRUE(r.dialogs.messages.empty());
}

TEST(ErrHandler, CriticalErrorShowsThenEnds) {
    ScriptedDialogs dialogs;
    bool ended = false;
    CriticalError(dialogs, "Template missing", "Delvar Comm", [&] { ended = true; });
    EXPECT_TRUE(ended);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Critical Error: Template missing\nApplication must close!");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Critical);
}

}  // namespace
}  // namespace delvar::app
