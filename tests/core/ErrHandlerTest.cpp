#include <gtest/gtest.h>

#include <stdexcept>

#include "core/ErrHandlerRig.h"

namespace delvar::core {
namespace {

namespace fs = std::filesystem;
using testing::HandlerRig;
using Lines = std::vector<std::string>;

// The report of error 11 "Division by zero" raised in B, up to the stack section.
Lines ReportHead(const std::string& title = "Delvar Comm") {
    return {title + " Application Error Information",
            "====================================",
            "Current Time   : 12/07/2026 05:00:00",
            "Error String   : Division by zero",
            "Error Number   : 11",
            "Error Line     : 0",
            "Error Procedure: B",
            "",
            "Procedure Stack",
            "---------------"};
}

Lines AdditionalInformation() {
    return {"",
            "Additional Information",
            "----------------------",
            "Current Directory: " + fs::current_path().string(),
            "App Title: Delvar Comm",
            "App CompanyName: Delvar Comm developers",
            "App Major: 7",
            "App Minor: 0",
            "App Revision: 0",
            "App Path: /opt/delvar",
            "App ProductName: Delvar Comm",
            ""};
}

Lines Concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(ErrHandler, DefaultReportOfTwoNestedProceduresShowsAndAppends) {
    HandlerRig r;
    r.handler->Push("A");
    r.handler->Push("B");
    r.handler->HandleError({11, "Division by zero", 0});

    EXPECT_EQ(r.handler->ErrorProc(), "B");
    EXPECT_EQ(r.handler->ErrorNumber(), 11);
    EXPECT_EQ(r.handler->ErrorString(), "Division by zero");
    EXPECT_EQ(r.handler->MessageTitle, "Delvar Comm");
    ASSERT_EQ(r.dialogs.messages.size(), 1u);
    const Message& shown = r.dialogs.messages[0];
    EXPECT_EQ(shown.text,
              "The following error has occurred in procedure: \nB on line 0\n"
              "Error (11) Division by zero");
    EXPECT_EQ(shown.title, "Delvar Comm");
    EXPECT_EQ(shown.icon, MessageIcon::Critical);
    EXPECT_EQ(shown.buttons, MessageButtons::Ok);

    const Lines first = Concat({ReportHead(), {"01  A", "02    B", ""}, AdditionalInformation()});
    EXPECT_EQ(r.ReportLines(), first);

    // The next report goes after the first, with the operation in both places.
    r.handler->CurrentOperation = "Saving";
    r.handler->HandleError({11, "Division by zero", 0});
    EXPECT_EQ(r.dialogs.LastText(),
              "The following error has occurred in procedure: \nB on line 0\n"
              "Error (11) Division by zero\nCurrent Operation: Saving");
    EXPECT_EQ(r.ReportLines(), Concat({first,
                                       ReportHead(),
                                       {"01  A", "02    B", "", "Current Operation: Saving"},
                                       AdditionalInformation()}));
    r.handler->Pop();
    r.handler->Pop();
}

TEST(ErrHandler, OwnTitleShortReportAndLongErrorString) {
    HandlerRig r;
    r.handler->MessageTitle = "Coater";
    r.handler->IncludeExpandedInfo = false;
    r.handler->Push("B");
    const std::string longText(300, 'x');
    r.handler->HandleError({3, longText, 42});
    r.handler->Pop();

    Lines expected = ReportHead("Coater");
    expected[3] = "Error String   : " + std::string(255, 'x');
    expected[4] = "Error Number   : 3";
    expected[5] = "Error Line     : 42";
    expected.insert(expected.end(), {"01  B", ""});
    EXPECT_EQ(r.ReportLines(), expected);
    ASSERT_EQ(r.dialogs.messages.size(), 1u);
    EXPECT_EQ(r.dialogs.messages[0].title, "Coater");
    // The operator sees the whole description.
    EXPECT_EQ(
        r.dialogs.messages[0].text,
        "The following error has occurred in procedure: \nB on line 42\nError (3) " + longText);
}

TEST(ErrHandler, SilentReportStillWritesAndNotifies) {
    HandlerRig r;
    r.handler->DisplayMsgOnError = false;
    int before = 0, after = 0;
    r.handler->OnBeforeReport = [&](bool&) { ++before; };
    r.handler->OnReported = [&] { ++after; };
    r.handler->HandleError({5, "Invalid argument", 0});
    EXPECT_TRUE(r.dialogs.messages.empty());
    EXPECT_EQ(r.ReportLines().at(3), "Error String   : Invalid argument");
    EXPECT_EQ(r.ReportLines().at(6), "Error Procedure: ");
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
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
    EXPECT_EQ(r.handler->ErrorString(), "x");  // still recorded as the last error
}

TEST(ErrHandler, UnwritableReportStillShowsTheMessage) {
    for (const char* where : {"missing/ERRORS.TXT", "folder"}) {
        SCOPED_TRACE(where);
        HandlerRig r;
        fs::create_directory(r.folder.path / "folder");
        r.handler->SetDestination((r.folder.path / where).string());
        r.handler->HandleError({5, "Disk full", 0});
        EXPECT_EQ(r.dialogs.Texts(),
                  Lines{"The following error has occurred in procedure: \n on line 0\n"
                        "Error (5) Disk full"});
        EXPECT_FALSE(fs::exists(r.folder.path / "missing"));
    }
}

TEST(ErrHandler, PopOnAnEmptyStackComplainsOnce) {
    HandlerRig r;
    r.handler->Pop();
    EXPECT_EQ(r.handler->Depth(), 0);
    EXPECT_EQ(r.dialogs.Texts(), Lines{"Non Fatal Error:\nError Stack Underflow."});
    EXPECT_EQ(r.dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(r.dialogs.messages[0].title, "Delvar Comm");
    r.handler->Push("A");  // the stack works normally afterwards
    r.handler->Pop();
    EXPECT_EQ(r.handler->Depth(), 0);
    EXPECT_EQ(r.dialogs.messages.size(), 1u);
}

TEST(ErrHandler, PushesBeyondTheStackAreCountedNotStored) {
    HandlerRig r;
    r.handler->SetMaxProcStackItems(2);
    // Well past the two spare entries, so a write outside the stack would show.
    const Lines names = {"one", "two", "three", "four", "five", "six", "seven"};
    for (const auto& name : names) r.handler->Push(name);
    EXPECT_EQ(r.handler->Depth(), 7);
    EXPECT_EQ(r.dialogs.Texts(), Lines(5, "Non Fatal Error:\nError Stack Overflow."));
    r.handler->IncludeExpandedInfo = false;
    r.handler->HandleError({1, "deep", 0});
    EXPECT_EQ(r.handler->ErrorProc(), "");  // the top name was never stored
    Lines report = r.ReportLines();
    ASSERT_EQ(report.size(), 13u);
    EXPECT_EQ(Lines(report.begin() + 10, report.end()), (Lines{"01  one", "02    two", ""}));

    for (std::size_t i = 0; i < names.size(); ++i) r.handler->Pop();
    EXPECT_EQ(r.handler->Depth(), 0);
    EXPECT_EQ(r.dialogs.messages.size(), 6u);  // the overflows and the report: no underflow
    r.handler->Push("again");
    EXPECT_EQ(r.handler->Depth(), 1);
    r.handler->HandleError({1, "x", 0});
    EXPECT_EQ(r.handler->ErrorProc(), "again");
    r.handler->Pop();
}

TEST(ErrHandler, ResizingTheStackEmptiesItButKeepsTheCount) {
    HandlerRig r;
    r.handler->Push("outer");
    r.handler->SetMaxProcStackItems(5);
    EXPECT_EQ(r.handler->MaxProcStackItems(), 5);
    EXPECT_EQ(r.handler->Depth(), 1);
    r.handler->Push("inner");
    r.handler->IncludeExpandedInfo = false;
    r.handler->HandleError({1, "x", 0});
    Lines report = r.ReportLines();
    EXPECT_EQ(Lines(report.begin() + 10, report.end()), (Lines{"02    inner", ""}));
    r.handler->Pop();
    r.handler->Pop();
    EXPECT_EQ(r.handler->Depth(), 0);
    EXPECT_EQ(r.dialogs.messages.size(), 1u);  // only the report

    r.handler->SetMaxProcStackItems(-3);
    EXPECT_EQ(r.handler->MaxProcStackItems(), 0);
    r.handler->Push("nowhere");
    EXPECT_EQ(r.dialogs.LastText(), "Non Fatal Error:\nError Stack Overflow.");
    r.handler->Pop();
    r.handler->SetMaxProcStackItems(1 << 30);
    EXPECT_EQ(r.handler->MaxProcStackItems(), CErrHandler::kLargestMaxProcStackItems);
}

// The pattern every fallible procedure follows: the guard is still in place while the
// error is reported, and gone once the procedure ends.
bool FailingProcedure(CErrHandler& handler) {
    ProcGuard guard(handler, "modDatabase_DBOpen");
    try {
        throw std::out_of_range("Subscript out of range");
    } catch (...) {
        handler.HandleError(ErrorInfo::FromCurrentException());
    }
    return false;
}

TEST(ErrHandler, GuardedProcedureReportsUnderItsOwnName) {
    HandlerRig r;
    {
        ProcGuard caller(*r.handler, "frmProcess_Load");
        EXPECT_FALSE(FailingProcedure(*r.handler));
        EXPECT_EQ(r.handler->Depth(), 1);
    }
    EXPECT_EQ(r.handler->Depth(), 0);
    EXPECT_EQ(r.handler->ErrorProc(), "modDatabase_DBOpen");
    EXPECT_EQ(r.dialogs.Texts(),
              Lines{"The following error has occurred in procedure: \nmodDatabase_DBOpen on line "
                    "0\nError (9) Subscript out of range"});
    Lines report = r.ReportLines();
    EXPECT_EQ(report.at(10), "01  frmProcess_Load");
    EXPECT_EQ(report.at(11), "02    modDatabase_DBOpen");
}

TEST(ErrHandler, EndOfProgramWithProceduresOnTheStack) {
    HandlerRig r;
    r.handler->Push("frmMain_Load");
    r.handler->Push("Comm_FindDelvar");
    r.handler.reset();
    EXPECT_EQ(r.dialogs.Texts(), Lines{"Non Fatal Error:\nError Trace Stack = 2 on Terminate.\n"
                                       "Procedure: Comm_FindDelvar"});
    EXPECT_EQ(r.dialogs.messages[0].icon, MessageIcon::Information);
}

TEST(ErrHandler, CleanEndOfProgramSaysNothing) {
    HandlerRig r;
    {
        ProcGuard outer(*r.handler, "a");
        ProcGuard inner(*r.handler, "b");
    }
    r.handler.reset();
    EXPECT_TRUE(r.dialogs.messages.empty());
}

}  // namespace
}  // namespace delvar::core
