// Progress of a transfer for the command-line tool: with --progress, one line on
// stderr for each item the transfer starts ("Writing Films: Film 3"); otherwise none.
#pragma once

#include <iostream>
#include <string>

#include "setup/Progress.h"

namespace delvar::cli {

class StderrProgress final : public setup::ProgressDisplay {
  public:
    explicit StderrProgress(bool shown) : shown_(shown) {}
    void Show(const std::string&, const std::string& action, const std::string& detail,
              int percent) override {
        Update(action, detail, percent);
    }
    void Update(const std::string& action, const std::string& detail, int) override {
        const std::string line = detail.empty() ? action : action + " " + detail;
        if (!shown_ || line.empty() || line == last_) return;
        std::cerr << line << std::endl;  // flushed: scripts follow it as it happens
        last_ = line;
    }
    void Close() override { last_.clear(); }

  private:
    bool shown_;
    std::string last_;
};

}  // namespace delvar::cli
