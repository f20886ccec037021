#include "app/FormPositions.h"

#include <algorithm>

#include "util/Text.h"

namespace delvar::app {

namespace {

// The whole number after tag ("L=") up to its ";"; false when the tag is missing or
// its value is no whole number. A tag counts only at the start or after a ";".
bool Tag(const std::string& entry, const char* tag, long& value) {
    const std::string t(tag);
    std::size_t at = entry.find(t);
    while (at != std::string::npos && at > 0 && entry[at - 1] != ';') at = entry.find(t, at + 1);
    if (at == std::string::npos) return false;
    const std::size_t start = at + t.size();
    const std::size_t end = entry.find(';', start);
    return util::ParseWholeNumber(entry.substr(start, end - start), value);
}

bool Pixels(const std::string& entry, const char* tag, int& pixels) {
    long twips = 0;
    if (!Tag(entry, tag, twips)) return false;
    pixels = static_cast<int>(std::clamp(twips, -1000000L, 1000000L) / kTwipsPerPixel);
    return true;
}

Rect Desktop(const std::vector<Rect>& screens) {
    if (screens.empty()) return {};
    int l = screens[0].left, t = screens[0].top;
    int r = l + screens[0].width, b = t + screens[0].height;
    for (const Rect& s : screens) {
        l = std::min(l, s.left);
        t = std::min(t, s.top);
        r = std::max(r, s.left + s.width);
        b = std::max(b, s.top + s.height);
    }
    return {l, t, r - l, b - t};
}

}  // namespace

bool RestoreFormPosition(FormWindow& w, UserSettingsStore& store, bool keepOnScreen) {
    const std::string entry = store.GetSetting(kFormPositions, w.Name());
    if (entry.empty()) return false;
    Rect r = w.Geometry();
    r.left = r.top = 0;
    Pixels(entry, "L=", r.left);
    Pixels(entry, "T=", r.top);
    if (!w.FixedBorder()) {
        int width = 0, height = 0;
        if (Pixels(entry, "W=", width) && width > 0) r.width = width;
        if (Pixels(entry, "H=", height) && height > 0) r.height = height;
    }
    long state = 0;
    Tag(entry, "S=", state);
    if (state == 1 || state == 2) {
        w.SetState(static_cast<int>(state));
        return true;
    }
    const std::vector<Rect> screens = w.Screens();
    if (keepOnScreen) {
        const Rect desk = Desktop(screens);
        if (r.left >= desk.left + desk.width) r.left = desk.left + desk.width - r.width;
        if (r.top >= desk.top + desk.height) r.top = desk.top + desk.height - r.height;
        r.left = std::max(r.left, desk.left);
        r.top = std::max(r.top, desk.top);
    }
    const bool visible = screens.empty() || std::any_of(screens.begin(), screens.end(),
                                                        [&](const Rect& s) { return r.Meets(s); });
    w.SetGeometry(r);
    if (!visible) CentreForm(w);
    return true;
}

void SaveFormPosition(const FormWindow& w, UserSettingsStore& store) {
    const Rect r = w.Geometry();
    const auto tw = [](int pixels) { return std::to_string(pixels * kTwipsPerPixel); };
    store.SaveSetting(kFormPositions, w.Name(),
                      "L=" + tw(r.left) + ";T=" + tw(r.top) + ";W=" + tw(r.width) +
                          ";H=" + tw(r.height) + ";S=" + std::to_string(w.State()) + ";");
}

void CentreForm(FormWindow& w) {
    const std::vector<Rect> screens = w.Screens();
    if (screens.empty()) return;
    const Rect& s = screens.front();
    Rect r = w.Geometry();
    r.left = s.left + (s.width - r.width) / 2;
    r.top = s.top + (s.height - r.height) / 2;
    w.SetGeometry(r);
}

}  // namespace delvar::app
