#include <gtest/gtest.h>

#include "monitor/DataLog.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"

namespace delvar::monitor {
namespace {

using testing::ReadFile;

constexpr const char* kHeading =
    "Time,Phase,Out1Rate,Out1Dev,Out1Thk,Out1Pwr,Out2Rate........"
    "Sens1Rate,Sens1Thk,Sens1Freq,Sens2rate.........\r\n\r\n";

struct DataLogTest : ::testing::Test {
    testing::TempFolder dir;
    app::DataLogSettings settings{.LogMode = 2};
    ManualClock clock;
    testing::ScriptedDialogs dialogs;
    DataLog log{settings, dir.path(), clock, dialogs};
    commands::RunReadings readings;

    int Begin(int poll = 500, std::optional<double> period = std::nullopt) {
        return log.InitDataLog(
            poll, [=] { return period; }, [] {});
    }
    // Ticks every step s from now to `until` s of run time; the run times of the rows.
    std::vector<std::string> Run(double until, double step = 0.5) {
        const double start = clock.seconds;
        for (double t = step; t <= until + 1e-9; t += step) {
            clock.seconds = start + t;
            if (clock.seconds >= 86400) clock.seconds -= 86400;
            log.WriteRow("Deposit", readings);
        }
        std::vector<std::string> times;
        const std::string text = ReadFile(log.Path());
        for (std::size_t at = text.find(", Deposit"); at != std::string::npos;
             at = text.find(", Deposit", at + 1)) {
            const std::size_t begin = text.rfind('\n', at) + 1;
            times.push_back(text.substr(begin, at - begin));
        }
        return times;
    }
};

TEST(DataRowTest, FieldsInTheirFormats) {
    EXPECT_EQ(FormatThick(12345.6), "12.35");
    EXPECT_EQ(FormatThick(1234500), "");
    EXPECT_EQ(FormatThick(9876.54), "9.877");
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
    clock.date = "07/12/2026";
    clock.time = "9:05:00";
    clock.seconds = 1000;
    EXPECT_EQ(Begin(), 500);
    clock.seconds = 1001;
    log.WriteRow("Deposit", readings);
    clock.time = "9:05:01";
    log.EndRun();
    log.WriteRow("Deposit", readings);  // no run: nothing
    const std::string row = DataRow(1, "Deposit", readings);
    EXPECT_EQ(ReadFile(log.Path()),
              std::string("Start:   Date: 07/12/2026   Time: 9:05:00\r\n\r\n") + kHeading + row +
                  "\r\n\r\nEnd:     Date: 07/12/2026"
                  "   Time: 9:05:01\r\n\r\n\r\n");
    EXPECT_EQ(log.FailedLines(), 0);
}

TEST_F(DataLogTest, IntervalAndTimeWindow) {
    settings.Interval = 0;
    Begin();
    EXPECT_EQ(Run(2).size(), 4u);  // every tick
    settings = {.File = "b.txt", .LogMode = 1, .Interval = 5};
    Begin();
    EXPECT_EQ(Run(12), (std::vector<std::string>{"5.0", "10.0"}));
    settings = {.File = "c.txt", .LogMode = 1, .StartTime = 60, .EndTime = 300, .Interval = 1};
    Begin();
    const auto times = Run(400, 1);
    ASSERT_EQ(times.size(), 241u);
    EXPECT_EQ(times.front(), "60.0");
    EXPECT_EQ(times.back(), "300.0");
    settings = {.File = "d.txt", .LogMode = 1, .StartTime = 120, .EndTime = 120, .Interval = 0};
    Begin();
    EXPECT_EQ(Run(1).front(), "0.5");  // equal times: no window
}

TEST_F(DataLogTest, RunThroughMidnightCountsOn) {
    clock.seconds = 86398;
    Begin();
    EXPECT_EQ(Run(4, 1), (std::vector<std::string>{"1.0", "2.0", "3.0", "4.0"}));
}

TEST_F(DataLogTest, OverwriteKeepsOneRunAppendKeepsAll) {
    const auto runs = [&] {
        for (int i = 0; i < 2; ++i) {
            Begin();
            Run(1);
            log.EndRun();
        }
        const std::string text = ReadFile(log.Path());
        std::size_t count = 0;
        for (auto at = text.find("Start:"); at != std::string::npos;
             at = text.find("Start:", at + 1))
            ++count;
        return count;
    };
    EXPECT_EQ(runs(), 2u);
    settings.LogMode = 1;
    EXPECT_EQ(runs(), 1u);
}

TEST_F(DataLogTest, MillionByteFileOfferedForDeletion) {
    testing::WriteFile(log.Path(), std::string(999999, 'x'));
    Begin();
    EXPECT_TRUE(dialogs.messages.empty());
    testing::WriteFile(log.Path(), std::string(1000000, 'x'));
    dialogs.answers = {core::MessageAnswer::No};
    bool pumped = false;
    log.InitDataLog(
        500, [] { return std::nullopt; }, [&] { pumped = true; });
    EXPECT_TRUE(pumped);
    EXPECT_EQ(dialogs.LastText(), "Log file size is 1000000. Delete?");
    EXPECT_GT(ReadFile(log.Path()).size(), 1000000u);
    dialogs.answers = {core::MessageAnswer::Yes};
    Begin();
    EXPECT_EQ(ReadFile(log.Path()).rfind("Start:", 0), 0u);
}

TEST_F(DataLogTest, IntervalZeroShortensThePollToTheMeasurementPeriod) {
    settings.Interval = 0;
    EXPECT_EQ(Begin(500, 0.25), 250);
    EXPECT_EQ(Begin(500, 0.8), 500);
    EXPECT_EQ(Begin(500, std::nullopt), 500);
    EXPECT_EQ(Begin(500, 0.0), 500);
    settings.Interval = 1;
    EXPECT_EQ(Begin(500, 0.25), 500);
}

TEST_F(DataLogTest, LinesThatCannotBeWrittenAreCounted) {
    settings.File = dir / "missing/Delvar.txt";
    int calls = 0;
    log.AddFailureListener([&] { ++calls; });
    Begin();
    Run(2);
    log.EndRun();
    EXPECT_EQ(log.FailedLines(), 5);  // start, heading, two rows, end
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(log.FailureText(),
              "5 lines of the data log could not be written to " + settings.File + ".");
}

}  // namespace
}  // namespace delvar::monitor
