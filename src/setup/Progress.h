// The progress display long setup operations report to (the shared progress window
// in the program). Every call lets pending window events run, so windows repaint.
#pragma once

#include <string>

namespace delvar::setup {

class ProgressDisplay {
  public:
    virtual ~ProgressDisplay() = default;
    // Shows the display with its caption, two text lines and the bar (0..100).
    virtual void Show(const std::string& caption, const std::string& action,
                      const std::string& detail, int percent) = 0;
    virtual void Update(const std::string& action, const std::string& detail, int percent) = 0;
    virtual void Close() = 0;
};

// For callers without a window (the command-line tool, tests that ignore progress).
class NoProgress final : public ProgressDisplay {
  public:
    void Show(const std::string&, const std::string&, const std::string&, int) override {}
    void Update(const std::string&, const std::string&, int) override {}
    void Close() override {}
};

}  // namespace delvar::setup
