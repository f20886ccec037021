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

// Every row of the Errors table, each field as text, in insertion order.
std::vector<Lines> ErrorRows(const fs::path& file) {
    sqlite3* db = nullptr;
    std::vector<Lines> rows;
    sqlite3_stmt* select = nullptr;
    if (sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db,
                           "SELECT ErrorDate, ErrorString, ErrorNumber, ErrorLine, ErrorProc, "
                           "CallStack, AdditionalInfo FROM Errors ORDER BY rowid",
                           -1, &select, nullptr) == SQLITE_OK) {
        while (sqlite3_step(select) == SQLITE_ROW) {
            Lines row;
            for (int c = 0; c < 7; ++c) {
                auto* text = sqlite3_column_text(select, c);
                row.push_back(text ? reinterpret_cast<const char*>(text) : "<null>");
            }
            rows.push_back(row);
        }
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    return rows;
}

TEST(ErrHandlerRecordSet, EachReportIsOneRecordAndClearLogEmptiesTheTable) {
    HandlerRig r;
    const fs::path file = r.folder.path / "errors.db";
    platform::SqliteErrorRecordSet records(file.string());
    ASSERT_TRUE(records.Ok());
    r.handler->SetDestination(&records);
    EXPECT_FALSE(r.handler->DestinationIsFile());
    EXPECT_EQ(r.handler->DestinationRecords(), &records);

    r.handler->Push("frmMain_Load");
    r.handler->Push("Comm_FindDelvar");
    r.handler->HandleError({7, "Out of memory " + std::string(300, 'm'), 3});
    r.handler->CurrentOperation = "Connecting";
    r.handler->IncludeExpandedInfo = false;
    r.handler->HandleError({8, "Again", 4});
    r.handler->Pop();
    r.handler->Pop();

    EXPECT_EQ(records.Count(), 2);
    EXPECT_FALSE(fs::exists(r.Report()));
    std::vector<Lines> rows = ErrorRows(file);
    ASSERT_EQ(rows.size(), 2u);
    const std::string stack = "01  frmMain_Load\r\n02    Comm_FindDelvar\r\n";
    EXPECT_EQ(rows[0],
              (Lines{testing::kFixedTime, ("Out of memory " + std::string(300, 'm')).substr(0, 255),
                     "7", "3", "Comm_FindDelvar", stack,
                     "Current Directory: " + fs::current_path().string() +
                         "\r\nApp Title: Delvar Comm\r\nApp CompanyName: Delvar Comm "
                         "developers\r\nApp Major: 7\r\nApp Minor: 0\r\nApp Revision: "
                         "0\r\nApp Path: /opt/delvar\r\nApp ProductName: Delvar Comm\r\n"}));
    EXPECT_EQ(rows[1], (Lines{testing::kFixedTime, "Again", "8", "4", "Comm_FindDelvar",
                              stack + "Current Operation: Connecting\r\n", ""}));
    EXPECT_EQ(r.dialogs.messages.size(), 2u);  // the messages are shown as with a file

    EXPECT_TRUE(r.handler->ClearLog());
    EXPECT_EQ(records.Count(), 0);
    EXPECT_TRUE(r.handler->ClearLog());  // an empty table is fine too
}

TEST(ErrHandlerRecordSet, UnsetRecordSetIsReportedInsteadOfWritten) {
    HandlerRig r;
    r.handler->SetDestination(static_cast<ErrorRecordSet*>(nullptr));
    EXPECT_FALSE(r.handler->DestinationIsFile());
    EXPECT_EQ(r.handler->DestinationFile(), "");
    r.handler->HandleError({9, "x", 0});
    ASSERT_EQ(r.dialogs.messages.size(), 2u);
    EXPECT_EQ(r.dialogs.messages[0].text,
              "Error handler cannot write to the [Errors] errors table because the Destination "
              "recordset variable has not been initialized.");
    EXPECT_EQ(r.dialogs.messages[1].text,
              "The following error has occurred in procedure: \n on line 0\nError (9) x");
    EXPECT_FALSE(r.handler->ClearLog());
    EXPECT_FALSE(fs::exists(r.Report()));
}

TEST(ErrHandlerRecordSet, FileThatIsNoDatabaseIsRefused) {
    HandlerRig r;
    const fs::path file = r.folder.path / "notes.txt";
    std::ofstream(file) << "these are notes, not a database, and long enough to be read as a "
                           "header of one: 0123456789012345678901234567890123456789\n";
    platform::SqliteErrorRecordSet records(file.string());
    EXPECT_FALSE(records.Ok());
    EXPECT_FALSE(records.AddRecord({}));
    EXPECT_EQ(records.Count(), 0);
    r.handler->SetDestination(&records);
    r.handler->HandleError({1, "x", 0});
    EXPECT_EQ(r.dialogs.messages.size(), 1u);  // the report is lost quietly, the message shows
    EXPECT_EQ(Slurp(file).substr(0, 20), "these are notes, not");
}

TEST(ErrHandlerFile, ClearLogDeletesTheFileAndAcceptsAMissingOne) {
    HandlerRig r;
    r.handler->HandleError({1, "x", 0});
    ASSERT_TRUE(fs::exists(r.Report()));
    EXPECT_TRUE(r.handler->ClearLog());
    EXPECT_FALSE(fs::exists(r.Report()));
    EXPECT_TRUE(r.handler->ClearLog());
    r.handler->HandleError({2, "y", 0});  // a new file starts after the clear
    EXPECT_EQ(testing::CrLfLines(Slurp(r.Report())).at(3), "Error String   : y");
}

TEST(ErrHandlerFile, ClearLogThatCannotDeleteSaysSo) {
    HandlerRig r;
    const fs::path busy = r.folder.path / "busy";
    fs::create_directory(busy);
    std::ofstream(busy / "inside") << "x";
    r.handler->SetDestination(busy.string());
    EXPECT_FALSE(r.handler->ClearLog());
    EXPECT_TRUE(fs::exists(busy / "inside"));
}

TEST(ErrHandlerTrace, EveryPushedNameGoesToANewTraceFile) {
    HandlerRig r;
    const fs::path trace = r.folder.path / "trace.log";
    EXPECT_EQ(r.handler->TracePath(), trace.string());
    std::ofstream(trace) << "old run\n";
    r.handler->SetMaxProcStackItems(1);
    r.handler->SetTraceExecution(true);
    EXPECT_TRUE(r.handler->TraceExecution());
    r.handler->Push("first");
    r.handler->Push("second");  // beyond the stack, still traced
    r.handler->Pop();
    r.handler->Pop();
    EXPECT_EQ(Slurp(trace), "first\nsecond\n");

    r.handler->SetTraceExecution(false);
    r.handler->Push("untraced");
    r.handler->Pop();
    EXPECT_EQ(Slurp(trace), "first\nsecond\n");

    r.handler->SetTraceExecution(true);  // a new start empties the file again
    r.handler->Push("third");
    r.handler->Pop();
    r.handler.reset();
    EXPECT_EQ(Slurp(trace), "third\n");
}

TEST(ErrHandlerTrace, UnwritableTraceFolderLeavesTheStackWorking) {
    testing::TempFolder folder;
    testing::ScriptedDialogs dialogs;
    CErrHandler handler(dialogs, AppInfo{}, (folder.path / "ERRORS.TXT").string(),
                        (folder.path / "missing").string());
    handler.SetTraceExecution(true);
    handler.Push("A");
    EXPECT_EQ(handler.Depth(), 1);
    handler.Pop();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(fs::exists(folder.path / "missing"));
}

}  // namespace
}  // namespace delvar::core
