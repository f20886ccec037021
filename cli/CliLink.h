// The program's real ports and the link over them, as the command-line verbs use it.
#pragma once

#include <memory>

#include "cli/CliOptions.h"
#include "link/Link.h"

namespace delvar::cli {

class CliLink {
  public:
    explicit CliLink(const CliOptions& options);
    ~CliLink();
    link::Link& Get() { return *link_; }
    // Opens the selected port; false (with a message on stderr) when it cannot.
    bool Open();

  private:
    struct Ports;
    std::unique_ptr<Ports> ports_;
    std::unique_ptr<link::Link> link_;
    link::SteadyClock clock_;
};

}  // namespace delvar::cli
