#include <gtest/gtest.h>
#include <sqlite3.h>

#include "core/ErrHandlerRig.h"
#include "platform/SqliteErrorRecordSet.h"

namespace delvar::core {
namespace {

namespace fs = std::filesystem;
using testing::HandlerRig;
using testing::Slurp;
using Lines = std::vector<std::string>;

// Every row of the Errors table, its fields joined by "|", in insertion order.
Lines ErrorRows(const fs::path& file) {
    Lines rows;
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(
        db,
        "SELECT ErrorDate || '|' || ErrorString || '|' || ErrorNumber || '|' || ErrorLine || '|' "
        "|| ErrorProc || '|' || CallStack || '|' || AdditionalInfo FROM Errors ORDER BY rowid",
        [](void* out, int, char** row, char**) {
            static_cast<Lines*>(out)->push_back(row[0] ? row[0] : "<a null field>");
            return 0;
        },
        &rows, nullptr);
    sqlite3_close(db);
    return rows;
}

TEST(ErrHandlerRecordSet, EachReportIsOneRecordAndClearLogEmptiesTheTable) {
    HandlerRig r;
    const fs::path file = r.folder.path / "errors.db";
    platform::SqliteErrorRecordSet records(file.string());
    ASSERT_TRUE(records.Ok());
    r.handler->SetDestination(&records);
    r.handler->Push("frmMain_Load");
    r.handler->Push("Comm_FindDelvar");
    r.handler->HandleError({7, "Out of memory " + std::string(300, 'm'), 3});
    r.handler->CurrentOperation = "Connecting";
    r.handler->IncludeExpandedInfo = false;
    r.handler->HandleError({8, "Again", 4});
    EXPECT_EQ(records.Count(), 2);
    EXPECT_FALSE(fs::exists(r.Report()));
    const std::string stack = "01  frmMain_Load\r\n02    Comm_FindDelvar\r\n";
    EXPECT_EQ(ErrorRows(file),
              (Lines{std::string(testing::kFixedTime) + "|Out of memory " + std::string(241, 'm') +
                         "|7|3|Comm_FindDelvar|" + stack +
                         "|Current Directory: " + fs::current_path().string() +
                         "\r\nApp Title: Delvar Comm\r\nApp CompanyName: Delvar Comm "
                         "developers\r\nApp Major: 7\r\nApp Minor: 0\r\nApp Revision: "
                         "0\r\nApp Path: /opt/delvar\r\nApp ProductName: Delvar Comm\r\n",
                     std::string(testing::kFixedTime) + "|Again|8|4|Comm_FindDelvar|" + stack +
                         "Current Operation: Connecting\r\n|"}));
    EXPECT_EQ(r.dialogs.messages.size(), 2u) << "the messages show as with a file";
    EXPECT_TRUE(r.handler->ClearLog());
    EXPECT_EQ(records.Count(), 0);
    EXPECT_TRUE(r.handler->ClearLog()) << "an empty table is fine too";
}

TEST(ErrHandlerRecordSet, AnUnsetRecordSetOrAFileThatIsNoDatabaseIsNotWritten) {
    HandlerRig r;
    r.handler->SetDestination(static_cast<ErrorRecordSet*>(nullptr));
    r.handler->HandleError({9, "x", 0});
    ASSERT_EQ(r.dialogs.messages.size(), 2u);
    EXPECT_NE(r.dialogs.messages[0].text.find("has not been initialized"), std::string::npos);
    EXPECT_FALSE(r.handler->ClearLog());
    EXPECT_FALSE(fs::exists(r.Report()));

    const fs::path file = r.folder.path / "notes.txt";
    const std::string notes(100, 'n');
    std::ofstream(file) << notes;
    platform::SqliteErrorRecordSet records(file.string());
    EXPECT_FALSE(records.Ok());
    r.handler->SetDestination(&records);
    r.handler->HandleError({1, "x", 0});
    EXPECT_EQ(r.dialogs.messages.size(), 3u) << "the report is lost quietly, the message shows";
    EXPECT_EQ(Slurp(file), notes);
}

TEST(ErrHandlerFile, ClearLogDeletesTheFileAcceptsAMissingOneAndSaysWhenItCannot) {
    HandlerRig r;
    r.handler->HandleError({1, "x", 0});
    ASSERT_TRUE(fs::exists(r.Report()));
    EXPECT_TRUE(r.handler->ClearLog());
    EXPECT_FALSE(fs::exists(r.Report()));
    EXPECT_TRUE(r.handler->ClearLog());
    r.handler->HandleError({2, "y", 0});  // a new file starts after the clear
    EXPECT_EQ(r.ReportLines().at(3), "Error String   : y");
    fs::create_directory(r.folder.path / "busy");
    std::ofstream(r.folder.path / "busy" / "inside") << "x";
    r.handler->SetDestination((r.folder.path / "busy").string());
    EXPECT_FALSE(r.handler->ClearLog());
    EXPECT_TRUE(fs::exists(r.folder.path / "busy" / "inside"));
}

TEST(ErrHandlerTrace, PushedNamesGoToATraceFileStartedAfreshAndAMissingFolderIsNoError) {
    HandlerRig r;
    const fs::path trace = r.folder.path / "trace.log";
    std::ofstream(trace) << "old run\n";
    r.handler->SetTraceExecution(true);
    for (const char* name : {"first", "second"}) r.handler->Push(name);
    r.handler->SetTraceExecution(false);
    r.handler->Push("untraced");
    EXPECT_EQ(Slurp(trace), "first\nsecond\n");
    r.handler->SetTraceExecution(true);
    r.handler->Push("third");
    EXPECT_EQ(Slurp(trace), "third\n");

    CErrHandler handler(r.dialogs, AppInfo{}, r.Report().string(), (trace / "none").string());
    handler.SetTraceExecution(true);
    handler.Push("A");
    handler.Pop();
    EXPECT_TRUE(handler.Depth() == 0 && r.dialogs.messages.empty());
}

}  // namespace
}  // namespace delvar::core
