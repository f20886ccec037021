#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <new>
#include <stdexcept>
#include <system_error>

#include "core/CriticalError.h"
#include "core/ErrHandlerRig.h"
#include "platform/AppPaths.h"
#include "platform/QtDialogService.h"

namespace delvar::core {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedDialogs;

// Runs body with the environment variable set to value, then puts it back.
template <typename Body>
void WithEnv(const char* name, const std::string& value, Body body) {
    const char* old = getenv(name);
    const std::string saved = old ? old : "";
    setenv(name, value.c_str(), 1);
    body();
    old ? setenv(name, saved.c_str(), 1) : unsetenv(name);
}

TEST(CriticalError, ShowsTheTextThenEndsTheProcess) {
    ScriptedDialogs dialogs;
    std::size_t shownBeforeEnd = 0;
    CriticalError(dialogs, "Template missing", "Delvar Comm",
                  [&] { shownBeforeEnd = dialogs.messages.size(); });
    EXPECT_EQ(shownBeforeEnd, 1u);
    EXPECT_EQ(dialogs.LastText(), "Critical Error: Template missing\nApplication must close!");
    EXPECT_EQ(dialogs.messages.at(0).icon, MessageIcon::Critical);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(CriticalError(dialogs, "x", "t"), ::testing::ExitedWithCode(1), "");
}

TEST(ErrorInfo, ExceptionsGetTheNumberOfTheirKind) {
    const std::system_error noFile(std::make_error_code(std::errc::no_such_file_or_directory));
    EXPECT_EQ(ErrorInfo::From(noFile).number, 2);
    EXPECT_EQ(ErrorInfo::From(noFile).description, noFile.what());
    EXPECT_EQ(ErrorInfo::From(std::bad_alloc()).number, 7);
    EXPECT_EQ(ErrorInfo::From(std::out_of_range("r"), 1000).number, 1000) << "a number of its own";
    try {
        throw 42;
    } catch (...) {
        EXPECT_EQ(ErrorInfo::FromCurrentException().description, "Unknown error");
    }
}

TEST(GeneralDateTime, LeavesTheProgramLocaleAloneAndFallsBackOnABadSetting) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    std::string text;
    WithEnv("LC_ALL", "xx_NOWHERE.UTF-8", [&] { text = GeneralDateTimeNow(); });
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), before);
    // The classic "%x %X" is "mm/dd/yy hh:mm:ss".
    ASSERT_EQ(text.size(), 17u) << text;
    EXPECT_TRUE(text[2] == '/' && text[5] == '/' && text[11] == ':') << text;
}

TEST(AppPaths, ReportAndTraceLiveInTheCreatedUserDataFolder) {
    testing::TempFolder home;
    fs::path folder;
    std::string report, trace;
    WithEnv("XDG_DATA_HOME", home.path.string(), [&] {
        folder = platform::UserDataFolder();
        report = platform::ErrorReportPath();
        trace = platform::TraceFolder();
    });
    EXPECT_EQ(folder.string().rfind(home.path.string(), 0), 0u) << folder;
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(fs::path(report), folder / "ERRORS.TXT");
    EXPECT_EQ(fs::path(trace), folder);
}

TEST(QtFileFilter, LabelsAndPatternsBecomeQtFilters) {
    using platform::QtFileFilter;
    EXPECT_EQ(QtFileFilter("Text|*.txt;*.csv|All Files|*.*|"),
              "Text (*.txt *.csv);;All Files (*.*)");
    EXPECT_EQ(QtFileFilter("*.oc2"), "*.oc2 (*.oc2)");
    EXPECT_EQ(QtFileFilter(""), "");
    EXPECT_EQ(QtFileFilter("DB Files (*.mdb)|*.mdb"), "DB Files (*.mdb)") << "shown once";
}

TEST(QtFileFilter, TheDefaultSuffixOfASaveDialogIsItsFiltersFirstExtension) {
    EXPECT_EQ(FilterSuffix("DB Files (*.mdb)|*.mdb"), "mdb");
    EXPECT_EQ(FilterSuffix("Text|*.txt;*.csv|All Files|*.*"), "txt");
    EXPECT_EQ(FilterSuffix("*.oc2"), "oc2");
    for (const char* none : {"", "All Files|*.*", "All|*", "Logs|log*.txt", "Odd|*."})
        EXPECT_EQ(FilterSuffix(none), "") << none;
}

}  // namespace
}  // namespace delvar::core
