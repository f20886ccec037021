#include "windows/SpinButton.h"

#include <QToolButton>
#include <QVBoxLayout>

#include "windows/WidgetNames.h"

namespace delvar::windows {

QWidget* SpinButton(const char* name, const char* toolTip, std::function<void(int)> step,
                    bool arrowsTakeFocus) {
    auto* spin = Named(new QWidget, name, toolTip);
    auto* column = new QVBoxLayout(spin);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    for (int direction : {+1, -1}) {
        auto* arrow = new QToolButton;
        arrow->setObjectName(direction > 0 ? "up" : "down");
        arrow->setArrowType(direction > 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setAutoRepeat(true);
        arrow->setFixedSize(18, 12);
        if (!arrowsTakeFocus) arrow->setFocusPolicy(Qt::NoFocus);
        QObject::connect(arrow, &QToolButton::clicked, spin,
                         [step, direction] { step(direction); });
        column->addWidget(arrow);
    }
    return spin;
}

}  // namespace delvar::windows
