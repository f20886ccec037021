#include <gtest/gtest.h>

#include <cmath>

#include "monitor/DataLog.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedDialogs.h"

namespace delvar::monitor {
namespace {

using testing::ReadFile;
using Times = std::vector<std::string>;

struct DataLogTest : ::testing::Test {
    testing::ScratchFolder dir;
    DataLogSettings settings{.LogMode = 2};
    ManualClock clock;
    testing::ScriptedDialogs dialogs;
    DataLog log{settings, dir.path(), clock, dialogs};

    int Begin(std::optional<double> period = std::nullopt) {
        return log.InitDataLog(
            500, [=] { return period; }, [] {});
    }
    // A run ticking every step s up to `until` s; the run times of its rows.
    Times Run(DataLogSettings s, double until, double step = 0.5) {
        settings = s;
        Begin();
        const double start = clock.seconds;
        for (double t = step; t <= until + 1e-9; t += step) {
            clock.seconds = std::fmod(start + t, 86400);
            log.WriteRow("Deposit", {});
        }
        Times times;
        const std::string text = ReadFile(log.Path());
        for (auto at = text.find(", Deposit"); at != std::string::npos;
             at = text.find(", Deposit", at + 1))
            times.push_back(text.substr(text.rfind('\n', at) + 1, at - text.rfind('\n', at) - 1));
        return times;
    }
    std::size_t Starts() {
        const std::string text = ReadFile(log.Path());
        std::size_t n = 0;
        for (auto at = text.find("Start:"); at != std::string::npos;
             at = text.find("Start:", at + 1))
            ++n;
        return n;
    }
};

TEST(DataRowTest, FieldsInTheirFormats) {
    EXPECT_EQ(FormatThick(12345.6), "12.35");
    EXPECT_EQ(FormatThick(1234500), "");
    EXPECT_EQ(FormatThick(123456), "123.5");
    EXPECT_EQ(FormatThick(-250), "-0.250");
    commands::RunReadings r;
    r.outputs[0] = {.Rate = 1.234, .Deviation = -2.25, .Thickness = 0.5, .Power = 45};
    r.outputs[1].Thickness = 1234.5;
    r.sensors[3] = {.Rate = 0.5, .Thickness = 12.3456, .Frequency = 5987654.3215};
    EXPECT_EQ(DataRow(61.25, "Deposit", r),
              "61.3, Deposit, 1.23,-2.3,0.500,45.0, 0.00,0.0,,0.0, 0.00,0.0,0.000,0.0,"
              " 0.00,0.0,0.000,0.0, Sensors:, 0.00,0.000,0.000, 0.00,0.000,0.000,"
              " 0.00,0.000,0.000, 0.50,12.35,5987654.322");
}

TEST_F(DataLogTest, RunWritesStartHeadingRowsAndEndWithCrLf) {
    clock.time = "9:05:00";
    clock.seconds = 1000;
    Begin();
    clock.seconds = 1001;
    log.WriteRow("Deposit", {});
    clock.time = "9:05:01";
    log.EndRun();
    log.WriteRow("Deposit", {});  // no run: nothing
    EXPECT_EQ(ReadFile(log.Path()),
              "Start:   Date: 07/12/2026   Time: 9:05:00\r\n\r\n"
              "Time,Phase,Out1Rate,Out1Dev,Out1Thk,Out1Pwr,Out2Rate........"
              "Sens1Rate,Sens1Thk,Sens1Freq,Sens2rate.........\r\n\r\n" +
                  DataRow(1, "Deposit", {}) +
                  "\r\n\r\nEnd:     Date: 07/12/2026   Time: 9:05:01\r\n\r\n\r\n");
    EXPECT_EQ(log.FailedLines(), 0);
}

TEST_F(DataLogTest, IntervalTimeWindowAndMidnight) {
    EXPECT_EQ(Run({.File = "a", .LogMode = 1, .Interval = 0}, 2).size(), 4u);  // every tick
    EXPECT_EQ(Run({.File = "b", .LogMode = 1, .Interval = 5}, 12), (Times{"5.0", "10.0"}));
    const Times window = Run({.File = "c", .LogMode = 1, .StartTime = 60, .EndTime = 300}, 400, 1);
    ASSERT_EQ(window.size(), 241u);
    EXPECT_EQ(window.front() + " " + window.back(), "60.0 300.0");
    EXPECT_EQ(Run({.File = "d", .LogMode = 1, .StartTime = 120, .EndTime = 120, .Interval = 0}, 1)
                  .front(),
              "0.5");  // equal times: no window
    clock.seconds = 86398;
    EXPECT_EQ(Run({.File = "e", .LogMode = 1}, 4, 1), (Times{"1.0", "2.0", "3.0", "4.0"}));
}

// Time synchronisation setting the clock back a second is no midnight: run times
// stay near the start, inside the time window, and the interval counts on.
TEST_F(DataLogTest, ASmallClockStepBackIsNoMidnight) {
    settings = {.File = "sync", .LogMode = 1, .StartTime = 0, .EndTime = 60, .Interval = 0};
    clock.seconds = 36000;
    Begin();
    for (double now : {36000.5, 36001.0, 36000.0, 36000.5, 36001.5}) {
        clock.seconds = now;
        log.WriteRow("Deposit", {});
    }
    const std::string text = ReadFile(log.Path());
    for (const char* t : {"\n0.5, Deposit", "\n1.0, Deposit", "\n0.0, Deposit", "\n1.5, Deposit"})
        EXPECT_NE(text.find(t), std::string::npos) << t;
    EXPECT_EQ(text.find("8640"), std::string::npos) << "no day added";

    settings.Interval = 5;
    settings.File = "sync5";
    clock.seconds = 36000;
    Begin();
    for (double now : {36005.0, 36004.0, 36008.0, 36009.0}) {
        clock.seconds = now;
        log.WriteRow("Deposit", {});
    }
    const std::string five = ReadFile(log.Path());
    EXPECT_NE(five.find("\n5.0, Deposit"), std::string::npos);
    EXPECT_NE(five.find("\n9.0, Deposit"), std::string::npos) << "5 s after the step back";
    EXPECT_EQ(five.find("\n8.0, Deposit"), std::string::npos);
}

TEST_F(DataLogTest, OverwriteKeepsOneRunAppendKeepsAll) {
    for (int mode : {2, 2, 1, 1}) {
        Run({.LogMode = mode}, 1);
        log.EndRun();
    }
    EXPECT_EQ(Starts(), 1u);
    Run({.LogMode = 2}, 1);
    EXPECT_EQ(Starts(), 2u);
}

TEST_F(DataLogTest, MillionByteFileOfferedForDeletion) {
    testing::WriteFile(log.Path(), std::string(999999, 'x'));
    Begin();
    EXPECT_TRUE(dialogs.messages.empty());
    testing::WriteFile(log.Path(), std::string(1000000, 'x'));
    dialogs.answers = {core::MessageAnswer::No, core::MessageAnswer::Yes};
    bool pumped = false;
    log.InitDataLog(500, nullptr, [&] { pumped = true; });
    EXPECT_TRUE(pumped);
    EXPECT_EQ(dialogs.LastText(), "Log file size is 1000000. Delete?");
    EXPECT_EQ(Starts(), 1u);  // kept and appended to
    Begin();
    EXPECT_EQ(ReadFile(log.Path()).rfind("Start:", 0), 0u);
}

TEST_F(DataLogTest, IntervalZeroShortensThePollToTheMeasurementPeriod) {
    settings.Interval = 0;
    EXPECT_EQ(Begin(0.25), 250);
    EXPECT_EQ(Begin(0.8), 500);
    EXPECT_EQ(Begin(std::nullopt), 500);
    EXPECT_EQ(Begin(0.0), 500);
    settings.Interval = 1;
    EXPECT_EQ(Begin(0.25), 500);
}

TEST_F(DataLogTest, LinesThatCannotBeWrittenAreCounted) {
    int calls = 0;
    log.AddFailureListener([&] { ++calls; });
    Run({.File = dir / "missing/Delvar.txt", .LogMode = 2}, 2);
    log.EndRun();
    EXPECT_EQ(log.FailedLines(), 5);  // start, heading, two rows, end
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(log.FailureText(),
              "5 lines of the data log could not be written to " + settings.File + ".");
}

}  // namespace
}  // namespace delvar::monitor
