// --screenshots DIR: start the first process on the built-in instrument, let it run
// into its deposition, save a picture of every window, print the paths and quit.
#pragma once

#include <QObject>
#include <QTimer>
#include <string>
#include <vector>

namespace delvar::link {
class Link;
}
namespace delvar::commands {
struct RunReadings;
}
namespace delvar::setup {
struct SetupData;
}

namespace delvar::windows {

class frmMain;
class frmSplash;

class ScreenshotTour final : public QObject {
  public:
    ScreenshotTour(frmMain& main, link::Link& link, setup::SetupData& setup,
                   const commands::RunReadings& readings, frmSplash& splash, std::string folder);
    void Begin();
    // The message that ended the tour early ("" while none came).
    const std::string& Failure() const { return failure_; }

    // A message box the tour shows itself, for its pictures: not unexpected.
    static constexpr const char* kPictureBox = "tourPictureBox";
    // The exit status when a message nobody answers came during the tour.
    static constexpr int kUnexpectedMessageExit = 3;

  private:
    enum class Stage { WaitOnline, WaitDeposit, WaitManual, Done };
    void Check();
    void WatchForMessages();
    void ShootMain();
    void ShootAll(bool deposited);
    void Save(QWidget& w, const std::string& name);

    frmMain& main_;
    link::Link& link_;
    setup::SetupData& setup_;
    const commands::RunReadings& readings_;
    frmSplash& splash_;
    std::string folder_;
    QTimer timer_;
    QTimer watch_;
    std::string failure_;
    Stage stage_ = Stage::WaitOnline;
    int checks_ = 0;
    bool busy_ = false;
    double depositSince_ = -1;  // elapsed time when Deposit was first seen
    std::vector<std::string> saved_;
};

}  // namespace delvar::windows
