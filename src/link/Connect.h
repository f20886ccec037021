// Finding the instrument on the selected port: open it, ask "@" for the version,
// refuse firmware below 6.30, ask "J" for the output count.
#pragma once

#include <string>

#include "core/DialogService.h"
#include "link/Link.h"

namespace delvar::link {

// What the connect does to the main window; the window implements it.
class ConnectHost {
  public:
    virtual ~ConnectHost() = default;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void EnableInstrumentMenu(bool enabled) = 0;  // mnuEditInstrument
    virtual void ShowCommWindowOnTop() = 0;               // frmComm, topmost
    virtual void LoadProcesses() = 0;                     // process names into the run controls
};

// For callers without a main window (the command-line tool, benchmarks).
class NoWindowHost final : public ConnectHost {
  public:
    void SetTitle(const std::string&) override {}
    void EnableInstrumentMenu(bool) override {}
    void ShowCommWindowOnTop() override {}
    void LoadProcesses() override {}
};

// The firmware number at the end of a version text: its last four characters when
// the one before them is a space, else its last three.
double FirmwareVersion(const std::string& versionText);

// Runs the whole connect with its messages; returns Online. A version reply damaged
// on the line is asked for once more; silence is not. Without a valid output
// count from "J" (asked twice) the connect ends off line as when "@" is not answered,
// so nothing is ever written with a guessed count. A command that was
// waiting when the connect began is sent again once the instrument is accepted, so
// its caller gets its own reply; otherwise it ends with Timeout.
bool ConnectInstrument(Link& link, core::DialogService& dialogs, ConnectHost& host,
                       const std::string& appTitle);

}  // namespace delvar::link
