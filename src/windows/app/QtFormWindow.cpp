#include "windows/app/QtFormWindow.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

namespace delvar::windows {

std::string QtFormWindow::Name() const {
    return w_.objectName().toStdString();
}

// Outer top-left with the inner size: what move() and resize() take back.
app::Rect QtFormWindow::Geometry() const {
    const QPoint at = w_.frameGeometry().topLeft();
    return {at.x(), at.y(), w_.width(), w_.height()};
}

void QtFormWindow::SetGeometry(const app::Rect& r) {
    w_.move(r.left, r.top);
    if (!FixedBorder()) w_.resize(r.width, r.height);
}

int QtFormWindow::State() const {
    if (w_.isMinimized()) return 1;
    if (w_.isMaximized()) return 2;
    return 0;
}

void QtFormWindow::SetState(int state) {
    w_.setWindowState(state == 1   ? Qt::WindowMinimized
                      : state == 2 ? Qt::WindowMaximized
                                   : Qt::WindowNoState);
}

bool QtFormWindow::FixedBorder() const {
    const QLayout* layout = w_.layout();
    return w_.minimumSize() == w_.maximumSize() ||
           w_.windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint) ||
           (layout && layout->sizeConstraint() == QLayout::SetFixedSize);
}

std::vector<app::Rect> QtFormWindow::Screens() const {
    std::vector<app::Rect> rects;
    const QScreen* primary = QGuiApplication::primaryScreen();
    const auto add = [&](const QScreen* s) {
        const QRect g = s->availableGeometry();
        rects.push_back({g.x(), g.y(), g.width(), g.height()});
    };
    if (primary) add(primary);
    for (const QScreen* s : QGuiApplication::screens())
        if (s != primary) add(s);
    return rects;
}

void SetTopmost(QWidget& w, bool on) {
    if (w.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
    // Changing a window flag hides the window; put it back where it was.
    const bool visible = w.isVisible();
    const QPoint at = w.pos();
    const QSize size = w.size();
    w.setWindowFlag(Qt::WindowStaysOnTopHint, on);
    w.move(at);
    w.resize(size);
    if (visible) w.show();
}

}  // namespace delvar::windows
