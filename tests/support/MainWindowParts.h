// What a main window is made of in a test, apart from its link: dialogs, setup,
// readings, clock, settings, serial device list and a data log in a scratch folder.
// Make builds the window on a link and loads it. A fixture whose link is its own member
// (destroyed before this base) lets the window go first, in TearDown.
#pragma once

#include <memory>

#include "commands/RunReadings.h"
#include "monitor/DataLog.h"
#include "setup/Progress.h"
#include "setup/SetupData.h"
#include "support/FakeSerialDevices.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedDialogs.h"
#include "windows/app/frmMain.h"

namespace delvar::testing {

struct MainWindowParts {
    ScratchFolder folder;
    ScriptedDialogs dialogs;
    setup::NoProgress progress;
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    commands::RunReadings readings;
    monitor::ManualClock clock;
    app::AppSettings settings;
    FakeSerialDevices serialDevices;
    monitor::DataLog log{settings.log, folder.path(), clock, dialogs};
    std::unique_ptr<windows::frmMain> w;

    windows::frmMain& Make(link::Link& link) {
        setup::ResetSetupData(*setup);
        w = std::make_unique<windows::frmMain>(windows::MainWindowDeps{
            link, *setup, readings, log, settings, clock, dialogs, progress, serialDevices, ""});
        w->Logic().Load(true);
        return *w;
    }
};

}  // namespace delvar::testing
