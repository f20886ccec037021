#include "windows/TransferLock.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>

namespace delvar::windows {

namespace {

// The controls an operator can act with; labels, frames and progress bars stay as
// they are so the window still shows what is going on.
bool IsControl(QWidget* widget) {
    return qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
           qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<QLineEdit*>(widget) ||
           qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QAbstractSlider*>(widget) ||
           qobject_cast<QMenuBar*>(widget);
}

}  // namespace

TransferLock::TransferLock(QWidget* window) : QObject(window), window_(window) {
    window_->installEventFilter(this);
}

void TransferLock::Begin() {
    if (depth_++ > 0) return;
    disabled_.clear();
    for (QWidget* child : window_->findChildren<QWidget*>()) {
        // A line edit inside a combo box or a spin box goes with its owner.
        if (!IsControl(child) || !child->isEnabled()) continue;
        if (qobject_cast<QLineEdit*>(child) &&
            (qobject_cast<QComboBox*>(child->parentWidget()) ||
             qobject_cast<QAbstractSpinBox*>(child->parentWidget())))
            continue;
        child->setEnabled(false);
        disabled_.emplace_back(child);
    }
}

void TransferLock::End() {
    if (depth_ == 0 || --depth_ > 0) return;
    for (const QPointer<QWidget>& widget : disabled_)
        if (widget) widget->setEnabled(true);
    disabled_.clear();
    if (pendingClose_) {
        // Carried out from the event loop, after the handler that ran the transfer has
        // returned, so the window is not destroyed under it.
        auto close = std::move(pendingClose_);
        pendingClose_ = nullptr;
        QTimer::singleShot(0, window_, std::move(close));
    }
}

bool TransferLock::DeferClose(std::function<void()> close) {
    if (!Running()) return false;
    pendingClose_ = std::move(close);
    return true;
}

bool TransferLock::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Close && Running()) {
        event->ignore();
        pendingClose_ = [window = QPointer<QWidget>(window_)] {
            if (window) window->close();
        };
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace delvar::windows
