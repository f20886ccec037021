// Up and down arrows ("up", "down") beside a text box, repeating while held: step is
// called with +1 or -1. Arrows that take no focus leave the keyboard to the box (which
// then steps on the Up and Down keys itself).
#pragma once

#include <functional>

class QWidget;

namespace delvar::windows {

QWidget* SpinButton(const char* name, const char* toolTip, std::function<void(int)> step,
                    bool arrowsTakeFocus = true);

}  // namespace delvar::windows
