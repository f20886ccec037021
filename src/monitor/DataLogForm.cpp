#include "monitor/DataLogForm.h"

#include <algorithm>
#include <filesystem>

#include "core/AppInfo.h"
#include "util/Text.h"

namespace fs = std::filesystem;

namespace delvar::monitor {

namespace {

std::string NamePart(const std::string& path) {
    return fs::path(path).filename().string();
}

struct Range {
    int max;
    const char* message;
};

Range RangeOf(TimeField field) {
    switch (field) {
        case TimeField::Minutes:
            return {500, "Valid values are 0 to 500 minutes."};
        case TimeField::Seconds:
            return {59, "Valid values are 0 to 59 seconds."};
        default:
            return {60, "Valid values are 0 to 60 seconds."};
    }
}

}  // namespace

DataLogForm::DataLogForm(DataLogSettings& settings, DataLog& log, core::DialogService& dialogs,
                         DataLogView& view)
    : settings_(settings), log_(log), dialogs_(dialogs), view_(view) {}

void DataLogForm::Load() {
    view_.ShowMode(settings_.LogMode);
    view_.ShowStart(settings_.StartTime / 60, settings_.StartTime % 60);
    view_.ShowEnd(settings_.EndTime / 60, settings_.EndTime % 60);
    view_.ShowInterval(settings_.Interval);
    view_.ShowCaption("Data Log - [ " + NamePart(settings_.File) + " ]");
    FailuresChanged();
}

void DataLogForm::ModeChosen(int mode) {
    settings_.LogMode = mode;
}

namespace {
// The settings file keeps a time as a 16-bit number: a time beyond it would read back
// as the default, so the largest it holds is taken instead.
constexpr int kLongestTime = 32767;
}  // namespace

void DataLogForm::StartChanged(int minutes, int seconds) {
    settings_.StartTime = std::min(minutes * 60 + seconds, kLongestTime);
    if (settings_.StartTime == kLongestTime) {
        minutes = kLongestTime / 60;
        seconds = kLongestTime % 60;
        view_.ShowStart(minutes, seconds);
    }
    if (settings_.EndTime <= settings_.StartTime) {
        settings_.EndTime = settings_.StartTime;
        view_.ShowEnd(minutes, seconds);
    }
}

void DataLogForm::EndChanged(int minutes, int seconds) {
    settings_.EndTime = std::min(minutes * 60 + seconds, kLongestTime);
    if (settings_.EndTime == kLongestTime) {
        minutes = kLongestTime / 60;
        seconds = kLongestTime % 60;
        view_.ShowEnd(minutes, seconds);
    }
    if (settings_.EndTime <= settings_.StartTime) {
        settings_.StartTime = settings_.EndTime;
        view_.ShowStart(minutes, seconds);
    }
}

void DataLogForm::IntervalChanged(int seconds) {
    settings_.Interval = seconds;
}

std::optional<int> DataLogForm::CheckEntry(TimeField field, const std::string& text) {
    const Range range = RangeOf(field);
    long value = -1;
    if (util::ParseWholeNumber(text, value) && value >= 0 && value <= range.max)
        return static_cast<int>(value);
    dialogs_.ShowMessage({.text = range.message, .title = core::kAppTitle});
    return std::nullopt;
}

void DataLogForm::NewFile() {
    std::optional<std::string> name =
        dialogs_.AskSaveFile("New Log File", "Data Files (*.txt)|*.txt", log_.Path());
    if (!name || name->empty()) return;
    if (name->size() > 255) {
        dialogs_.ShowMessage({.text = "The file name is longer than 255 characters.",
                              .title = core::kAppTitle,
                              .icon = core::MessageIcon::Exclamation});
        return;
    }
    if (NamePart(*name).find('.') == std::string::npos) *name += ".txt";
    settings_.File = *name;
    view_.ShowCaption("Data Log - [" + NamePart(*name) + "]");
}

void DataLogForm::ViewFile() {
    const std::string path = log_.Path();
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        dialogs_.ShowMessage({.text = "The log file " + path + " has not been written yet.",
                              .title = core::kAppTitle,
                              .icon = core::MessageIcon::Information});
        return;
    }
    if (!view_.OpenDocument(path)) {
        dialogs_.ShowMessage({.text = "No program is set up to show " + path + ".",
                              .title = core::kAppTitle,
                              .icon = core::MessageIcon::Exclamation});
    }
}

void DataLogForm::FailuresChanged() {
    view_.ShowFailures(log_.FailureText());
}

}  // namespace delvar::monitor
