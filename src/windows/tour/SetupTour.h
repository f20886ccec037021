// The setup windows' part of the screenshot tour: the process tree (after a whole
// upload, with the CoDep process expanded) and each editor, also with a value just
// refused and its message drawn over the window as the operator sees it.
#pragma once

#include <string>
#include <vector>

#include "editors/EditorContext.h"

namespace delvar::windows {

class frmMain;

// Saves the pictures into folder; returns the paths saved. The setup window is opened
// as Edit / Instrument opens it and given back the same way.
std::vector<std::string> ShootSetupWindows(frmMain& main, link::Link& link, setup::SetupData& setup,
                                           setup::ProgressDisplay& progress,
                                           const std::string& folder);

// The digital I/O editor before a run: its inputs and relays (given names, pins and
// pulses, written to the instrument with two logic statements that drive relays 1
// and 3), and during a run: the monitor on, rows coloured.
std::vector<std::string> ShootIoEditor(frmMain& main, link::Link& link, setup::SetupData& setup,
                                       setup::ProgressDisplay& progress, const std::string& folder);
std::vector<std::string> ShootIoMonitor(frmMain& main, link::Link& link, setup::SetupData& setup,
                                        setup::ProgressDisplay& progress,
                                        const std::string& folder);

}  // namespace delvar::windows
