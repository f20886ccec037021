// Saved window positions: one entry per window name in the per-user store, section
// "Form Positions", value "L=..;T=..;W=..;H=..;S=..;" in twips (15 per pixel).
#pragma once

#include <string>
#include <vector>

#include "app/UserSettingsStore.h"

namespace delvar::app {

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;  // pixels
    bool Meets(const Rect& o) const {
        return left < o.left + o.width && o.left < left + width && top < o.top + o.height &&
               o.top < top + height;
    }
};

// What the position rules need of a window.
class FormWindow {
  public:
    virtual ~FormWindow() = default;
    virtual std::string Name() const = 0;  // the entry's key, e.g. "frmMain"
    virtual Rect Geometry() const = 0;     // outer position, size
    virtual void SetGeometry(const Rect& r) = 0;
    virtual int State() const = 0;  // 0 normal, 1 minimised, 2 maximised
    virtual void SetState(int state) = 0;
    virtual bool FixedBorder() const = 0;           // the user cannot resize it
    virtual std::vector<Rect> Screens() const = 0;  // the primary screen first
};

inline constexpr const char* kFormPositions = "Form Positions";
inline constexpr int kTwipsPerPixel = 15;

// Applies the saved entry; false when there is none. A fixed-border window keeps its
// size; a saved minimised or maximised state is set without moving. keepOnScreen pulls
// a window back whose left or top lies beyond the screens; a window that would meet
// no screen at all is centred instead.
bool RestoreFormPosition(FormWindow& w, UserSettingsStore& store, bool keepOnScreen);
void SaveFormPosition(const FormWindow& w, UserSettingsStore& store);
// Centres the window on the primary screen.
void CentreForm(FormWindow& w);

}  // namespace delvar::app
