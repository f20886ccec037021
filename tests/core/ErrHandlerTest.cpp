#include <gtest/gtest.h>

#include <stdexcept>

#include "core/ErrHandlerRig.h"

namespace delvar::core {
namespace {

namespace fs = std::filesystem;
using testing::HandlerRig;
using Lines = std::vector<std::string>;

// A report of error 11 "Division by zero" raised in B called from A, with extra lines
// after the stack and, when expanded, the program's information.
Lines Report(const Lines& afterStack, bool expanded = true) {
    Lines lines{"Delvar Comm Application Error Information",
                std::string(36, '='),
                "Current Time   : 12/07/2026 05:00:00",
                "Error String   : Division by zero",
                "Error Number   : 11",
                "Error Line     : 0",
                "Error Procedure: B",
                "",
                "Procedure Stack",
                std::string(15, '-'),
                "01  A",
                "02    B"};
    lines.insert(lines.end(), afterStack.begin(), afterStack.end());
    if (!expanded) return lines;
    lines.insert(lines.end(),
                 {"", "Additional Information", std::string(22, '-'),
                  "Current Directory: " + fs::current_path().string(), "App Title: Delvar Comm",
                  "App CompanyName: Delvar Comm developers", "App Major: 7", "App Minor: 0",
                  "App Revision: 0", "App Path: /opt/delvar", "App ProductName: Delvar Comm", ""});
    return lines;
}

TEST(ErrHandler, ReportsOfNestedProceduresAreShownAndAppended) {
    HandlerRig r;
    r.handler->Push("A");
    r.handler->Push("B");
    r.handler->HandleError({11, "Division by zero", 0});
    EXPECT_TRUE(r.handler->ErrorProc() == "B" && r.handler->ErrorNumber() == 11);
    ASSERT_EQ(r.dialogs.messages.size(), 1u);
    const Message& shown = r.dialogs.messages[0];
    EXPECT_EQ(shown.text,
              "The following error has occurred in procedure: \nB on line 0\n"
              "Error (11) Division by zero");
    EXPECT_EQ(shown.title, "Delvar Comm");
    EXPECT_TRUE(shown.icon == MessageIcon::Critical && shown.buttons == MessageButtons::Ok);
    const Lines first = Report({""});
    EXPECT_EQ(r.ReportLines(), first);

    // The next report goes after the first, under its own title, with the operation in
    // both places; the report cuts a long description, the message shows all of it.
    r.handler->CurrentOperation = "Saving";
    r.handler->IncludeExpandedInfo = false;
    r.handler->MessageTitle = "Coater";
    r.handler->HandleError({11, std::string(300, 'x'), 42});
    EXPECT_EQ(r.dialogs.LastText(),
              "The following error has occurred in procedure: \nB on line "
              "42\nError (11) " +
                  std::string(300, 'x') + "\nCurrent Operation: Saving");
    EXPECT_EQ(r.dialogs.messages.back().title, "Coater");
    Lines second = Report({"", "Current Operation: Saving"}, false);
    second[0] = "Coater Application Error Information";
    second[3] = "Error String   : " + std::string(255, 'x');
    second[5] = "Error Line     : 42";
    const Lines report = r.ReportLines();
    ASSERT_GT(report.size(), first.size());
    EXPECT_EQ(Lines(report.begin(), report.begin() + long(first.size())), first);
    EXPECT_EQ(Lines(report.begin() + long(first.size()), report.end()), second);
}

TEST(ErrHandler, SilentCancelledAndUnwritableReports) {
    for (const char* how : {"silent", "cancelled", "missing/ERRORS.TXT", "folder"}) {
        SCOPED_TRACE(how);
        HandlerRig r;
        int reported = 0;
        r.handler->OnReported = [&] { ++reported; };
        const std::string what = how;
        r.handler->DisplayMsgOnError = what != "silent";
        if (what == "cancelled") r.handler->OnBeforeReport = [](bool& cancel) { cancel = true; };
        if (what.find('/') != std::string::npos || what == "folder") {
            fs::create_directory(r.folder.path / "folder");
            r.handler->SetDestination((r.folder.path / what).string());
        }
        r.handler->HandleError({5, "Disk full", 0});
        EXPECT_EQ(reported, 1);
        EXPECT_EQ(r.handler->ErrorString(), "Disk full");
        EXPECT_EQ(r.dialogs.messages.size(), what == "silent" || what == "cancelled" ? 0u : 1u);
        EXPECT_EQ(fs::exists(r.Report()), what == "silent");
        EXPECT_FALSE(fs::exists(r.folder.path / "missing"));
    }
}

TEST(ErrHandler, TheStackCountsPastItsSizeComplainsOnceAndResizesEmpty) {
    HandlerRig r;
    r.handler->Pop();
    EXPECT_EQ(r.dialogs.Texts(), Lines{"Non Fatal Error:\nError Stack Underflow."});
    EXPECT_EQ(r.dialogs.messages[0].icon, MessageIcon::Information);
    r.handler->SetMaxProcStackItems(2);
    // Well past the two spare entries, so a write outside the stack would show.
    for (const char* name : {"one", "two", "three", "four", "five", "six", "seven"})
        r.handler->Push(name);
    EXPECT_EQ(r.handler->Depth(), 7);
    EXPECT_EQ(r.dialogs.messages.size(), 6u) << "the underflow and five overflows";
    r.handler->IncludeExpandedInfo = false;
    r.handler->HandleError({1, "deep", 0});
    EXPECT_EQ(r.handler->ErrorProc(), "") << "the top name was never stored";
    Lines report = r.ReportLines();
    EXPECT_EQ(Lines(report.begin() + 10, report.end()), (Lines{"01  one", "02    two", ""}));
    for (int i = 0; i < 7; ++i) r.handler->Pop();
    EXPECT_EQ(r.handler->Depth(), 0);
    EXPECT_EQ(r.dialogs.messages.size(), 7u) << "no underflow";

    r.handler->Push("outer");
    r.handler->SetMaxProcStackItems(5);  // empties the stack, keeps the count
    r.handler->Push("inner");
    r.handler->HandleError({1, "x", 0});
    report = r.ReportLines();
    EXPECT_EQ(Lines(report.end() - 2, report.end()), (Lines{"02    inner", ""}));
    r.handler->Pop();
    r.handler->Pop();
    EXPECT_EQ(r.dialogs.messages.size(), 8u) << "only the report";
    r.handler->SetMaxProcStackItems(1 << 30);
    EXPECT_EQ(r.handler->MaxProcStackItems(), CErrHandler::kLargestMaxProcStackItems);
}

// The pattern of every fallible procedure: the guard is still in place while the error
// is reported, and gone once the procedure ends.
bool FailingProcedure(CErrHandler& handler) {
    ProcGuard guard(handler, "modDatabase_DBOpen");
    try {
        throw std::out_of_range("Subscript out of range");
    } catch (...) {
        handler.HandleError(ErrorInfo::FromCurrentException());
    }
    return false;
}

TEST(ErrHandler, GuardsReportUnderTheirNameAndTheEndNamesWhatIsLeftOnTheStack) {
    HandlerRig r;
    {
        ProcGuard caller(*r.handler, "frmProcess_Load");
        EXPECT_FALSE(FailingProcedure(*r.handler));
        EXPECT_EQ(r.handler->Depth(), 1);
    }
    EXPECT_EQ(r.handler->Depth(), 0);
    EXPECT_EQ(r.dialogs.Texts(),
              Lines{"The following error has occurred in procedure: \nmodDatabase_DBOpen on line "
                    "0\nError (9) Subscript out of range"});
    EXPECT_EQ(r.ReportLines().at(11), "02    modDatabase_DBOpen");
    r.handler->Push("frmMain_Load");
    r.handler->Push("Comm_FindDelvar");
    r.handler.reset();
    EXPECT_EQ(r.dialogs.LastText(),
              "Non Fatal Error:\nError Trace Stack = 2 on Terminate.\nProcedure: Comm_FindDelvar");
    HandlerRig clean;
    { ProcGuard outer(*clean.handler, "a"); }
    clean.handler.reset();
    EXPECT_TRUE(clean.dialogs.messages.empty());
}

}  // namespace
}  // namespace delvar::core
