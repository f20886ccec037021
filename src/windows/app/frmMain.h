// The main window: process list, phase, layer and time, the four outputs with their
// power sliders, the run buttons, the graphs and the menus. A thin view: every event
// goes to MainWindowLogic, which drives the controls through MainView.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <memory>

#include "app/AppSettings.h"
#include "app/CommWindowLogic.h"
#include "app/MainView.h"
#include "app/MainWindowLogic.h"
#include "app/UserSettingsStore.h"
#include "core/CErrHandler.h"

class QAction;
class QComboBox;
class QLabel;
class QSlider;

namespace delvar::windows {

class GraphArea;
class frmComm;
class frmDataLog;
class frmReadings;

struct MainWindowDeps {
    link::Link& link;
    setup::SetupData& setup;
    commands::RunReadings& readings;
    monitor::DataLog& log;
    app::AppSettings& settings;
    const monitor::WallClock& clock;
    core::DialogService& dialogs;
    setup::ProgressDisplay& progress;
    app::SerialDevices& serialDevices;  // the computer's serial ports
    std::string looksFolder;            // where the chart look files are
};

class frmMain final : public QMainWindow, public app::MainView, public app::CommWindowHost {
    Q_OBJECT
  public:
    explicit frmMain(MainWindowDeps deps);
    ~frmMain() override;

    app::MainWindowLogic& Logic() { return *logic_; }
    monitor::Graphs& Graphs() { return *graphs_; }
    GraphArea& Charts() { return *graphArea_; }
    QTimer& UpdateTimer() { return tmrUpdate_; }
    frmReadings* ReadingsWindow() { return readings_; }
    frmComm& CommWindow() { return *comm_; }
    // Called once when the window is asked to close, before the program ends.
    std::function<void()> onClose;
    // Where an unexpected error in a tick is reported; nullptr: nowhere.
    core::CErrHandler* errors = nullptr;

    // Edit / Instrument (source 1) and Edit / Database (source 0): the program opens
    // the setup window through openSetupWindow and calls SetupWindowClosed after.
    std::function<void(int source)> openSetupWindow;
    // The Edit menu's choice: opened at once when no exchange waits, else once the
    // waiting exchange (a poll) has ended, so its upload is never refused as busy.
    void ChooseSetupWindow(int source);
    void OpenSetupWindow(int source);
    void SetupWindowClosed();
    void OpenDataLogWindow();
    void OpenGraphSettings();
    void OpenReadingsWindow();

    // MainView.
    void SetVisible(app::Ctl c, bool visible) override;
    bool IsVisible(app::Ctl c) const override;
    void SetEnabled(app::Ctl c, bool enabled) override;
    void SetText(app::Ctl c, const std::string& text) override;
    std::string Text(app::Ctl c) const override;
    void SetTextColour(app::Ctl c, monitor::Rgb colour) override;
    void FillProcessList(const std::vector<std::string>& items) override;
    int ProcessIndex() const override;
    void SetProcessIndex(int index) override;
    bool ProcessListDropped() const override;
    int SliderPosition(int slider) const override;
    void SetSliderPosition(int slider, int position) override;
    bool SliderHasFocus(int slider) const override;
    void StartTimer() override { tmrUpdate_.start(); }
    void StopTimer() override { tmrUpdate_.stop(); }
    bool TimerRunning() const override { return tmrUpdate_.isActive(); }
    int TimerPeriod() const override { return period_; }
    void SetTimerPeriod(int ms) override;
    // Under --speed F the poll runs F times as often, as the instrument's time does.
    void SetTimeScale(double speed);
    void SetTitle(const std::string& title) override;
    void SetWindowEnabled(bool enabled) override;
    void CheckViewGraph(int index) override;
    void ShowStatus(const std::string& text) override;
    void ShowCommWindowOnTop() override;
    void PumpEvents() override;

    // CommWindowHost.
    void StopPollTimer() override { tmrUpdate_.stop(); }
    void FollowOnline(bool online) override { logic_->FollowOnline(online); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QWidget* BuildRunPanel();
    QWidget* BuildOutputs();
    QWidget* BuildButtons();
    void BuildMenus();
    void Register(app::Ctl c, QWidget* w, const char* name);
    QWidget* W(app::Ctl c) const { return controls_[std::size_t(c)]; }

    MainWindowDeps d_;
    QTimer tmrUpdate_;
    std::array<QWidget*, std::size_t(app::Ctl::kCount)> controls_{};
    std::array<monitor::Rgb, std::size_t(app::Ctl::kCount)> colours_{};
    QAction* mnuEditInstrument_ = nullptr;
    QLabel* manualHeading_ = nullptr;
    std::array<QAction*, 4> mnuViewGraph_{};
    GraphArea* graphArea_ = nullptr;
    std::unique_ptr<monitor::Graphs> graphs_;
    std::unique_ptr<app::MainWindowLogic> logic_;
    frmComm* comm_ = nullptr;
    frmReadings* readings_ = nullptr;
    frmDataLog* dataLog_ = nullptr;
    bool closing_ = false;
    bool setupChosen_ = false;         // the setup window waits for the link
    int period_ = app::kPollPeriodMs;  // the poll period in the instrument's time
    double timeScale_ = 1.0;
};

}  // namespace delvar::windows
