#include "monitor/DataLog.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/AppInfo.h"
#include "util/Format.h"
#include "util/Text.h"

namespace fs = std::filesystem;

namespace delvar::monitor {

namespace {

constexpr double kDay = 86400;  // s
constexpr const char* kCrLf = "\r\n";
constexpr const char* kHeading =
    "Time,Phase,Out1Rate,Out1Dev,Out1Thk,Out1Pwr,Out2Rate........"
    "Sens1Rate,Sens1Thk,Sens1Freq,Sens2rate.........";

long FileSize(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? -1 : static_cast<long>(size);
}

void KillFile(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

// Opens for appending (creating the file), writes text and CR LF, closes.
bool AppendToTextFile(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) return false;
    const std::string line = text + kCrLf;
    const bool written = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    return std::fclose(f) == 0 && written;
}

}  // namespace

DataLog::DataLog(DataLogSettings& settings, std::string folder, WallClock& clock,
                 core::DialogService& dialogs)
    : settings_(settings), folder_(std::move(folder)), clock_(clock), dialogs_(dialogs) {}

std::string DataLog::Path() const {
    const std::string& name = settings_.File;
    if (name.empty() || fs::path(name).has_parent_path()) return name;
    return (fs::path(folder_) / name).string();
}

void DataLog::Append(const std::string& text) {
    if (AppendToTextFile(Path(), text)) return;
    ++failedLines_;
    failedPath_ = Path();
    // A copy: a listener may remove itself.
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners) listener();
}

int DataLog::AddFailureListener(std::function<void()> listener) {
    listeners_[nextListener_] = std::move(listener);
    return nextListener_++;
}

std::string DataLog::FailureText() const {
    if (failedLines_ == 0) return "";
    return std::to_string(failedLines_) + (failedLines_ == 1 ? " line" : " lines") +
           " of the data log could not be written to " + failedPath_ + ".";
}

int DataLog::InitDataLog(int pollPeriodMs, const std::function<std::optional<double>()>& readPeriod,
                         const std::function<void()>& pumpEvents) {
    if (!Enabled()) return pollPeriodMs;
    const std::string path = Path();
    if (settings_.LogMode == 1) KillFile(path);
    if (FileSize(path) >= kLogSizeQuestion) {
        if (pumpEvents) pumpEvents();
        const long size = FileSize(path);
        core::Message question{.text = "Log file size is " + std::to_string(size) + ". Delete?",
                               .title = core::kAppTitle,
                               .icon = core::MessageIcon::Question,
                               .buttons = core::MessageButtons::YesNo};
        if (dialogs_.ShowMessage(question) == core::MessageAnswer::Yes) KillFile(path);
    }
    const std::string when = "Date: " + clock_.DateText() + "   Time: " + clock_.TimeText();
    Append("Start:   " + when + kCrLf);
    Append(std::string(kHeading) + kCrLf);

    if (settings_.Interval == 0 && readPeriod) {
        // A period of 0 would make the poll spin; such a reply is ignored.
        if (const std::optional<double> period = readPeriod(); period && *period > 0) {
            const long ms = util::RoundHalfEven(*period * 1000);
            if (ms >= 1 && ms < pollPeriodMs) pollPeriodMs = static_cast<int>(ms);
        }
    }
    startTime_ = lastRowTime_ = clock_.SecondsSinceMidnight();
    running_ = true;
    return pollPeriodMs;
}

void DataLog::WriteRow(const std::string& phaseText, const commands::RunReadings& readings) {
    if (!Enabled() || !running_) return;
    const double now = clock_.SecondsSinceMidnight();
    // The clock restarts at midnight: a time far below the last row's means a day
    // passed, and run time keeps counting upwards. A small step back (the clock set
    // by time synchronisation) is no day: the interval then counts from now.
    if (now < lastRowTime_ - kDay / 2) {
        lastRowTime_ -= kDay;
        startTime_ -= kDay;
    } else if (now < lastRowTime_) {
        lastRowTime_ = now;
    }
    if (now - lastRowTime_ < settings_.Interval) return;
    const double t = now - startTime_;
    const bool window = settings_.StartTime != settings_.EndTime;
    if (window && (t < settings_.StartTime || t > settings_.EndTime)) return;
    lastRowTime_ = now;
    Append(DataRow(t, phaseText, readings));
}

void DataLog::EndRun() {
    if (running_ && Enabled()) {
        Append(std::string(kCrLf) + "End:     Date: " + clock_.DateText() +
               "   Time: " + clock_.TimeText() + kCrLf + kCrLf);
    }
    running_ = false;
}

std::string FormatThick(double thicknessA) {
    const double x = thicknessA / 1000;
    if (x < 10) return util::FormatNumber(x, "#0.000");
    if (x < 100) return util::FormatNumber(x, "#0.00");
    if (x < 1000) return util::FormatNumber(x, "#0.0");
    return "";
}

std::string DataRow(double runTime, const std::string& phaseText,
                    const commands::RunReadings& readings) {
    using util::FormatNumber;
    std::string row = FormatNumber(runTime, "#0.0") + ", " + phaseText;
    for (const commands::OutputReading& o : readings.outputs) {
        row += ", " + FormatNumber(o.Rate, "#0.00") + "," + FormatNumber(o.Deviation, "#0.0") +
               "," + FormatThick(o.Thickness * 1000) + "," + FormatNumber(o.Power, "#0.0");
    }
    row += ", Sensors:";
    for (const commands::SensorReading& s : readings.sensors) {
        row += ", " + FormatNumber(s.Rate, "#0.00") + "," + FormatThick(s.Thickness * 1000) + "," +
               FormatNumber(s.Frequency, "#0.000");
    }
    return row;
}

}  // namespace delvar::monitor
