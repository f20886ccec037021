#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <filesystem>
#include <locale>
#include <new>
#include <stdexcept>
#include <system_error>

#include "core/CErrHandler.h"
#include "core/CriticalError.h"
#include "core/ErrHandlerRig.h"
#include "platform/AppPaths.h"
#include "platform/QtDialogService.h"
#include "support/ScriptedDialogs.h"

namespace delvar::core {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedDialogs;

TEST(CriticalError, ShowsTheTextThenEnds) {
    ScriptedDialogs dialogs;
    int ended = 0;
    std::size_t shownBeforeEnd = 0;
    CriticalError(dialogs, "Template missing", "Delvar Comm", [&] {
        ++ended;
        shownBeforeEnd = dialogs.messages.size();
    });
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(shownBeforeEnd, 1u);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Critical Error: Template missing\nApplication must close!");
    EXPECT_EQ(dialogs.messages[0].title, "Delvar Comm");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
}

TEST(CriticalError, WithoutAnInjectedExitTheProcessEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ScriptedDialogs dialogs;
            CriticalError(dialogs, "x", "t");
        },
        ::testing::ExitedWithCode(1), "");
}

TEST(ErrorInfo, ExceptionsGetTheNumberOfTheirKind) {
    struct Case {
        long expected;
        std::exception_ptr error;
    };
    const Case cases[] = {
        {7, std::make_exception_ptr(std::bad_alloc())},
        {9, std::make_exception_ptr(std::out_of_range("range"))},
        {6, std::make_exception_ptr(std::overflow_error("overflow"))},
        {5, std::make_exception_ptr(std::invalid_argument("argument"))},
        {2, std::make_exception_ptr(
                std::system_error(std::make_error_code(std::errc::no_such_file_or_directory)))},
        {0, std::make_exception_ptr(std::runtime_error("plain"))},
    };
    for (const Case& c : cases) {
        try {
            std::rethrow_exception(c.error);
        } catch (const std::exception& e) {
            SCOPED_TRACE(e.what());
            EXPECT_EQ(ErrorInfo::From(e).number, c.expected);
            EXPECT_EQ(ErrorInfo::From(e).description, e.what());
            EXPECT_EQ(ErrorInfo::From(e).line, 0);
            EXPECT_EQ(ErrorInfo::FromCurrentException().number, c.expected);
        }
    }
    EXPECT_EQ(ErrorInfo::From(std::out_of_range("r"), 1000).number, 1000);
    try {
        throw 42;
    } catch (...) {
        ErrorInfo info = ErrorInfo::FromCurrentException();
        EXPECT_EQ(info.description, "Unknown error");
        EXPECT_EQ(info.number, 0);
    }
}

TEST(GeneralDateTime, IsTextAndLeavesTheProgramLocaleAlone) {
    const std::string cBefore = std::setlocale(LC_ALL, nullptr);
    const std::string cppBefore = std::locale().name();
    std::string text = GeneralDateTimeNow();
    EXPECT_GE(text.size(), 8u);
    EXPECT_NE(text.find_first_of("0123456789"), std::string::npos);
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), cBefore);
    EXPECT_EQ(std::locale().name(), cppBefore);
}

TEST(GeneralDateTime, BadLocaleSettingFallsBackToTheClassicFormat) {
    const char* old = getenv("LC_ALL");
    const std::string saved = old ? old : "";
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    std::string text = GeneralDateTimeNow();
    if (old)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
    // The classic "%x %X" is "mm/dd/yy hh:mm:ss".
    ASSERT_EQ(text.size(), 17u) << text;
    EXPECT_EQ(text[2], '/');
    EXPECT_EQ(text[5], '/');
    EXPECT_EQ(text[11], ':');
}

TEST(AppPaths, ReportAndTraceLiveInTheCreatedUserDataFolder) {
    testing::TempFolder home;
    const char* old = getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", home.path.c_str(), 1);
    const fs::path folder = platform::UserDataFolder();
    const std::string report = platform::ErrorReportPath();
    const std::string trace = platform::TraceFolder();
    if (old)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");

    EXPECT_EQ(folder.string().rfind(home.path.string(), 0), 0u) << folder;
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(fs::path(report), folder / "ERRORS.TXT");
    EXPECT_EQ(fs::path(trace), folder);
}

TEST(QtFileFilter, LabelsAndPatternsBecomeQtFilters) {
    using platform::QtFileFilter;
    EXPECT_EQ(QtFileFilter("Databases|*.mdb"), "Databases (*.mdb)");
    EXPECT_EQ(QtFileFilter("Text|*.txt;*.csv|All Files|*.*"),
              "Text (*.txt *.csv);;All Files (*.*)");
    EXPECT_EQ(QtFileFilter("*.oc2"), "*.oc2 (*.oc2)");
    EXPECT_EQ(QtFileFilter("Databases|*.mdb|"), "Databases (*.mdb)");
    EXPECT_EQ(QtFileFilter(""), "");
}

TEST(ScriptedDialogs, EmptyQueueAnswersTheFirstButton) {
    ScriptedDialogs dialogs;
    EXPECT_EQ(dialogs.ShowMessage({"a", "", MessageIcon::None, MessageButtons::Ok}),
              MessageAnswer::Ok);
    EXPECT_EQ(dialogs.ShowMessage({"b", "", MessageIcon::None, MessageButtons::OkCancel}),
              MessageAnswer::Ok);
    EXPECT_EQ(dialogs.ShowMessage({"c", "", MessageIcon::None, MessageButtons::YesNo}),
              MessageAnswer::Yes);
    EXPECT_EQ(dialogs.ShowMessage({"d", "", MessageIcon::None, MessageButtons::YesNoCancel}),
              MessageAnswer::Yes);
    EXPECT_EQ(dialogs.ShowMessage({"e", "", MessageIcon::None, MessageButtons::RetryCancel}),
              MessageAnswer::Retry);
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(dialogs.LastText(), "e");
    EXPECT_FALSE(dialogs.AskText("Name?", "t", "old").has_value());
    EXPECT_FALSE(dialogs.AskOpenFile("Open", "Databases|*.mdb", "").has_value());
}

TEST(ScriptedDialogs, QueuesAnswerInOrderAndPromptsAreRecorded) {
    ScriptedDialogs dialogs;
    dialogs.answers = {MessageAnswer::No, MessageAnswer::Cancel};
    dialogs.textAnswers = {"Process 1", std::nullopt};
    dialogs.fileAnswers = {"/tmp/a.mdb", "/tmp/b.mdb"};
    EXPECT_EQ(dialogs.ShowMessage({"q", "", MessageIcon::Question, MessageButtons::YesNo}),
              MessageAnswer::No);
    EXPECT_EQ(dialogs.ShowMessage({"r", "", MessageIcon::None, MessageButtons::RetryCancel}),
              MessageAnswer::Cancel);
    EXPECT_EQ(dialogs.AskText("Name?", "Rename", "old"), "Process 1");
    EXPECT_EQ(dialogs.AskText("Name?", "Rename", "old"), std::nullopt);
    EXPECT_EQ(dialogs.AskOpenFile("Open", "Databases|*.mdb", "x.mdb"), "/tmp/a.mdb");
    EXPECT_EQ(dialogs.AskSaveFile("Save", "Databases|*.mdb", "y.mdb"), "/tmp/b.mdb");
    ASSERT_EQ(dialogs.prompts.size(), 4u);
    EXPECT_EQ(dialogs.prompts[0].kind, testing::Prompt::Kind::Text);
    EXPECT_EQ(dialogs.prompts[0].prompt, "Name?");
    EXPECT_EQ(dialogs.prompts[0].initial, "old");
    EXPECT_EQ(dialogs.prompts[2].kind, testing::Prompt::Kind::OpenFile);
    EXPECT_EQ(dialogs.prompts[3].kind, testing::Prompt::Kind::SaveFile);
    EXPECT_EQ(dialogs.prompts[3].title, "Save");
    EXPECT_EQ(dialogs.prompts[3].filter, "Databases|*.mdb");
    dialogs.ClearRecord();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.prompts.empty());
}

TEST(ScriptedDialogs, AnswerThatIsNoButtonOfTheBoxFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedDialogs dialogs;
            dialogs.answers = {MessageAnswer::Yes};
            dialogs.ShowMessage({"Proceed?", "", MessageIcon::None, MessageButtons::OkCancel});
        },
        "not a button of the box \"Proceed?\"");
}

}  // namespace
}  // namespace delvar::core
