// The program's real ports and the link over them, as the command-line verbs use it.
#pragma once

#include <memory>

#include "cli/CliOptions.h"
#include "cli/StderrProgress.h"
#include "link/Link.h"

namespace delvar::cli {

class CliLink {
  public:
    explicit CliLink(const CliOptions& options);
    ~CliLink();
    link::Link& Get() { return *link_; }
    // Where upload and download report each item (--progress).
    setup::ProgressDisplay& Progress() { return progress_; }
    // Opens the selected port; false (with a message on stderr) when it cannot.
    bool Open();
    // After a failed connect: says so when the serial port may not be opened by this user.
    void ExplainSerialAccess();

  private:
    struct Ports;
    std::unique_ptr<Ports> ports_;
    std::unique_ptr<link::Link> link_;
    link::SteadyClock clock_;
    StderrProgress progress_;
};

}  // namespace delvar::cli
