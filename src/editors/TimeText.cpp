#include "editors/TimeText.h"

#include <string>

#include "app/AppTitle.h"
#include "editors/TypedNumber.h"
#include "util/Text.h"

namespace delvar::editors {

namespace {

// A part of a time of day: one or two digits, at most limit.
bool TimePart(std::string_view part, int limit, int& value) {
    if (part.empty() || part.size() > 2) return false;
    value = 0;
    for (char c : part) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= limit;
}

// Seconds of a time of day "h:mm:ss" or "h:mm"; -1 when unreadable.
long TimeOfDaySeconds(std::string_view text) {
    int parts[3] = {0, 0, 0};
    const int limits[3] = {23, 59, 59};
    int count = 0;
    while (true) {
        const auto colon = text.find(':');
        if (count == 3) return -1;
        if (!TimePart(text.substr(0, colon), limits[count], parts[count])) return -1;
        ++count;
        if (colon == std::string_view::npos) break;
        text.remove_prefix(colon + 1);
    }
    if (count < 2) return -1;
    return parts[0] * 3600L + parts[1] * 60L + parts[2];
}

}  // namespace

int TimeTextSeconds(std::string_view text) {
    const std::string trimmed = util::Trim(text);
    long seconds = -1;
    double number = 0;
    if (trimmed.find(':') != std::string::npos)
        seconds = TimeOfDaySeconds(trimmed);
    else if (ParseCellNumber(trimmed, number))
        seconds = util::RoundHalfEven(number);
    return seconds >= 0 && seconds <= kMaxTimeSeconds ? int(seconds) : -1;
}

int ParseTimeText(std::string_view text, core::DialogService& dialogs) {
    const int seconds = TimeTextSeconds(text);
    if (seconds < 0) dialogs.ShowMessage({.text = kTimeMessage, .title = app::kAppTitle});
    return seconds;
}

}  // namespace delvar::editors
