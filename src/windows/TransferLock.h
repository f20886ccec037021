// One rule for every window that talks to the instrument. Every reply wait runs
// window events, so without it a click could land in the middle of a transfer: a
// Cancel restoring a table that the running loop then writes over, or a second
// upload nesting its XSTART inside the first. While a transfer runs, the window's
// other controls are disabled, and a close request (the title bar's X, Escape or a
// programmatic close) waits and is carried out once the transfer has ended.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QWidget;

namespace delvar::windows {

class TransferLock : public QObject {
  public:
    explicit TransferLock(QWidget* window);

    // Nestable: the first Begin disables the window's enabled controls, the last End
    // gives back exactly those and then carries out a close that was asked meanwhile.
    void Begin();
    void End();
    bool Running() const { return depth_ > 0; }

    // For a window's reject()/done(): true when the close has to wait; then close is
    // called once the transfer has ended.
    bool DeferClose(std::function<void()> close);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* window_;
    int depth_ = 0;
    std::vector<QPointer<QWidget>> disabled_;
    std::function<void()> pendingClose_;
};

// Begin on construction, End on destruction, so an early return or a throw from the
// transfer still gives the window back.
class TransferScope {
  public:
    explicit TransferScope(TransferLock& lock) : lock_(lock) { lock_.Begin(); }
    ~TransferScope() { lock_.End(); }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

  private:
    TransferLock& lock_;
};

}  // namespace delvar::windows
