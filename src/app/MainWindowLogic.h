// The main window's logic: operator requests recorded for the next poll tick, the
// tick itself (request, status, readings, reconnect), phase changes that restart the
// graphs and the log run, the button table, the process list and the readings display.
#pragma once

#include <cstdint>

#include "app/MainView.h"
#include "app/PollHealth.h"
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
    std::uint64_t PollTicks() const { return health_.PollTicks(); }
    std::uint64_t ReadingTicks() const { return health_.ReadingTicks(); }

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
    PollHealth health_;
};

}  // namespace delvar::app
