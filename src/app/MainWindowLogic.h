// The main window's logic: operator requests recorded for the next poll tick, the
// tick itself (request, status, readings, reconnect), phase changes that restart the
// graphs and the log run, the button table, the process list and the readings display.
#pragma once

#include <cstdint>

#include "app/MainView.h"
#include "commands/RunReadings.h"
#include "core/DialogService.h"
#include "link/Connect.h"
#include "link/Link.h"
#include "monitor/DataLog.h"
#include "monitor/Graphs.h"
#include "monitor/WallClock.h"
#include "setup/Progress.h"
#include "setup/SetupData.h"

namespace delvar::app {

// PendingAction codes beyond the run codes 0..4 and 32.
enum PendingCode : std::int16_t {
    kNoAction = -1,
    kSelectProcess = 35,
    kManualToAuto = 90,
    kSliderPower = 91,  // + slider index
    kAutoToManual = 95,
};

inline constexpr int kPollPeriodMs = 500;
// Off line after having been on line: the connect is tried again this often.
inline constexpr int kRetryPeriodMs = 5000;
// Ticks in a row without a reading that are taken as a lost instrument.
inline constexpr int kFailedTicksForReconnect = 3;

// Phases 6..22 and 26: graphs and the log run only in these.
bool IsActivePhase(int phase);
// Phases 0..5 and 25: a move from one of these above 5 starts a deposition.
bool IsPreDepositionPhase(int phase);

struct MainDeps {
    link::Link& link;
    setup::SetupData& setup;
    commands::RunReadings& readings;
    monitor::Graphs& graphs;
    monitor::DataLog& log;
    const monitor::WallClock& clock;
    core::DialogService& dialogs;
    setup::ProgressDisplay& progress;
};

class MainWindowLogic final : public link::ConnectHost {
  public:
    MainWindowLogic(MainView& view, MainDeps deps);

    // Start-up: no request, no phase, the "any other" buttons; then either the poll
    // (its first tick connects) or off line. Only with connectAtStart does a lost
    // instrument get looked for again.
    void Load(bool connectAtStart);

    // Operator events: each records one request for the next tick.
    void OnStart();
    void OnAbort();
    void OnStartLayer();
    void OnStopLayer();
    void OnNextLayer();
    void OnStartManLayer();
    void OnZero();
    void OnAutoMan();
    void OnManAuto();
    void OnSlider(int slider);
    void OnProcessChanged();
    void OnActivated();  // the window got the focus
    void OnViewGraph(int index);

    // tmrUpdate.
    void Tick();

    std::int16_t PendingAction() const { return pending_; }
    void SetPendingAction(std::int16_t code);
    std::int16_t Phase() const { return phase_; }
    void SetPhase(std::int16_t phase);
    void UpdateButtons();
    void SetDisplay(int index);
    bool LogRunActive() const { return logRun_; }
    // The instrument was lost: the ticks try the connect again every 5 s.
    bool Retrying() const;
    // Ticks that polled, and those of them that produced a reading.
    std::uint64_t PollTicks() const { return pollTicks_; }
    std::uint64_t ReadingTicks() const { return readingTicks_; }

    // ConnectHost.
    void SetTitle(const std::string& title) override { view_.SetTitle(title); }
    void EnableInstrumentMenu(bool enabled) override {
        view_.SetEnabled(Ctl::mnuEditInstrument, enabled);
    }
    void ShowCommWindowOnTop() override { view_.ShowCommWindowOnTop(); }
    void LoadProcesses() override;

    // The communications window closed: run controls and poll follow Online; while a
    // lost instrument is looked for, the poll goes on with the run controls disabled.
    void FollowOnline(bool online);

  private:
    bool Connect();
    bool Reconnect();
    bool InstrumentAnswers();
    void GoOffline();
    void BackOnline();
    void SetRunControlsEnabled(bool enabled);
    void CountTick(bool reading);
    void HandlePendingAction();
    bool Poll();
    bool GetReadings();
    void StartLogRun();
    void UpdateReadings();
    void ShowLogFailures();
    void RestartGraphs();

    MainView& view_;
    MainDeps d_;
    std::int16_t pending_ = kNoAction;
    std::int16_t phase_ = 0;
    bool inTick_ = false;
    bool logRun_ = false;
    int logFailuresShown_ = 0;
    bool reconnectAllowed_ = false;  // the operator chose to connect at start
    bool beenOnline_ = false;        // on line at least once since start
    bool retryPaused_ = false;       // an answered connect was refused: wait for the operator
    int offlineMs_ = 0;              // poll time since the last connect attempt
    int failedTicks_ = 0;            // ticks in a row without a reading
    bool failureShown_ = false;
    std::uint64_t pollTicks_ = 0, readingTicks_ = 0;
};

}  // namespace delvar::app
