// Small helpers the windows build their controls with: the control's name (as the
// tests find it) and tooltip, buttons that Return in a text box never presses, and
// texts to Qt.
#pragma once

#include <QPushButton>
#include <QString>
#include <string>

namespace delvar::windows {

template <typename W>
W* Named(W* widget, const char* name, const char* toolTip = nullptr) {
    widget->setObjectName(name);
    if (toolTip) widget->setToolTip(toolTip);
    return widget;
}

inline QPushButton* Button(const char* name, const char* caption, const char* toolTip = nullptr) {
    auto* button = Named(new QPushButton(caption), name, toolTip);
    button->setAutoDefault(false);  // Return in a text box or a cell must not press a button
    return button;
}

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace delvar::windows
