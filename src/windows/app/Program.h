// The whole program: its ports and link, the setup in memory, the settings, the data
// log, the built-in instrument when asked for, and the main window; start-up and the
// shutdown that saves positions and settings without asking anything.
#pragma once

#include <memory>
#include <string>

#include "app/AppSettings.h"
#include "app/ProgramOptions.h"
#include "app/UserSettingsStore.h"

namespace delvar::windows {

class frmMain;
class ScreenshotTour;

class Program {
  public:
    // store: the per-user settings store; nullptr uses the user's own (QSettings).
    explicit Program(app::ProgramOptions options, app::UserSettingsStore* store = nullptr);
    ~Program();

    // Builds everything and shows the main window; false with a reason in error.
    bool Start(std::string& error);
    frmMain& Main();
    app::AppSettings& Settings();
    std::string SettingsFile() const;
    std::string LogFile() const;
    // The --screenshots tour over this program's windows.
    std::unique_ptr<ScreenshotTour> MakeTour(const std::string& folder);

  private:
    void Shutdown();
    void OpenSetupWindow(int source);
    struct Parts;
    std::unique_ptr<Parts> p_;
};

}  // namespace delvar::windows
