#include "app/MainWindowLogic.h"

#include <array>

#include "app/AppTitle.h"
#include "commands/modCommData.h"
#include "commands/modCommOperate.h"
#include "commands/modCommProcess.h"
#include "commands/modCommSystem.h"
#include "monitor/RunDisplay.h"
#include "util/Format.h"
#include "util/Text.h"

namespace delvar::app {

using commands::PhaseName;

bool IsActivePhase(int phase) {
    return (phase >= 6 && phase <= 22) || phase == 26;
}

bool IsPreDepositionPhase(int phase) {
    return (phase >= 0 && phase <= 5) || phase == 25;
}

namespace {

// The button table by phase. Slot buttons: 1 shown, 0 hidden, -1 unchanged.
enum class AutoManual { ByRequest, AutoOnly, ManualOnly, Neither };
struct ButtonRow {
    std::array<int, 6> slots;  // Start, Reset, Start Layer, Stop Layer, Next Layer, Start Man Layer
    bool processEnabled;
    AutoManual autoManual;
    bool sliders;
};

constexpr std::array<Ctl, 6> kSlotButtons = {Ctl::cmdStart,      Ctl::cmdAbort,
                                             Ctl::cmdStartLayer, Ctl::cmdStopLayer,
                                             Ctl::cmdNextLayer,  Ctl::cmdStartManLayer};

ButtonRow ButtonsFor(int phase) {
    if (phase == 0) return {{1, 0, 1, 0, 1, 0}, true, AutoManual::ByRequest, false};
    if (phase == 3) return {{0, 1, 0, 1, 0, 1}, false, AutoManual::ByRequest, false};
    if (phase >= 5 && phase <= 22) return {{0, 1, 0, 1, 0, 0}, false, AutoManual::AutoOnly, false};
    if (phase == 24) return {{0, 1, 0, 1, 0, 0}, false, AutoManual::Neither, false};
    if (phase == 25) return {{0, 1, 1, 0, 1, 0}, false, AutoManual::ByRequest, false};
    if (phase == 26) return {{0, 1, 0, 1, 0, 0}, false, AutoManual::ManualOnly, true};
    return {{-1, -1, -1, -1, -1, -1}, false, AutoManual::AutoOnly, false};
}

constexpr std::array<Ctl, 10> kRunControls = {
    Ctl::cboProcess,   Ctl::cmdNextLayer, Ctl::cmdStartManLayer, Ctl::cmdStartLayer,
    Ctl::cmdStopLayer, Ctl::cmdStart,     Ctl::cmdAbort,         Ctl::cmdAutoMan,
    Ctl::cmdManAuto,   Ctl::cmdZero};

// Sets a flag for the life of a scope, and clears it on every way out.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
};

constexpr const char* kRetryingText =
    "Off line: the instrument does not answer. Trying again every 5 s...";

// A power as a slider position 0..100.
int SliderValue(double power) {
    return int(std::clamp(util::RoundHalfEven(power), 0L, 100L));
}

}  // namespace

MainWindowLogic::MainWindowLogic(MainView& view, MainDeps deps) : view_(view), d_(deps) {}

void MainWindowLogic::Load(bool connectAtStart) {
    health_.AllowSearch(connectAtStart);
    view_.SetTitle(kAppTitle);
    pending_ = kNoAction;
    SetPhase(-1);
    UpdateButtons();
    view_.SetVisible(Ctl::fraOnLine, false);
    view_.SetTimerPeriod(kPollPeriodMs);
    if (connectAtStart) {
        view_.StartTimer();
    } else {
        view_.SetTitle(OfflineTitle());
        view_.SetEnabled(Ctl::mnuEditInstrument, false);
    }
}

void MainWindowLogic::SetPendingAction(std::int16_t code) {
    pending_ = code;
    // Starting a process or a layer restarts the graphs before anything is sent.
    if (code == commands::kStartProcess || code == commands::kStartLayer) RestartGraphs();
}

void MainWindowLogic::OnStart() {
    SetPendingAction(commands::kStartProcess);
}
void MainWindowLogic::OnAbort() {
    SetPendingAction(commands::kResetProcess);
}
void MainWindowLogic::OnStartLayer() {
    SetPendingAction(phase_ == 0 ? commands::kStartProcess : commands::kStartLayer);
}
void MainWindowLogic::OnStopLayer() {
    SetPendingAction(commands::kStopLayer);
}
void MainWindowLogic::OnNextLayer() {
    SetPendingAction(commands::kNextLayer);
}
void MainWindowLogic::OnStartManLayer() {
    SetPendingAction(commands::kStartLayer);
}
void MainWindowLogic::OnZero() {
    SetPendingAction(commands::kZeroThickness);
}
void MainWindowLogic::OnAutoMan() {
    SetPendingAction(kAutoToManual);
}
void MainWindowLogic::OnManAuto() {
    SetPendingAction(kManualToAuto);
}
void MainWindowLogic::OnSlider(int slider) {
    if (slider >= 0 && slider < 4) SetPendingAction(std::int16_t(kSliderPower + slider));
}
void MainWindowLogic::OnProcessChanged() {
    SetPendingAction(kSelectProcess);
}

void MainWindowLogic::OnActivated() {
    view_.SetEnabled(Ctl::mnuEditInstrument, d_.link.Info().Online);
}

void MainWindowLogic::OnViewGraph(int index) {
    if (index != d_.graphs.Display()) SetDisplay(index);
}

void MainWindowLogic::SetDisplay(int index) {
    d_.graphs.SetDisplay(index);
    if (index >= 0 && index < 4) view_.CheckViewGraph(index);
}

void MainWindowLogic::Tick() {
    // A tick that starts while an exchange of an earlier one waits for its reply
    // finds the link busy and does nothing.
    if (inTick_) return;
    const FlagScope inTick(inTick_);
    const auto& info = d_.link.Info();
    if (info.Online) {
        const int status = d_.link.CommStatus();
        if (status == link::kBusy) return;
        // A time-out, or replies that failed tick after tick, mean the instrument may
        // be gone. Any other failure costs one sample: the next tick polls again.
        if (health_.ReconnectDue(status)) {
            if (Reconnect()) CountTick(Poll());
        } else {
            HandlePendingAction();
            CountTick(Poll());
        }
    } else if (info.VersionText.empty()) {
        if (Connect()) {
            BackOnline();
            CountTick(Poll());
        }
    } else if (Retrying() && health_.AttemptDue(view_.TimerPeriod())) {
        if (Reconnect()) CountTick(Poll());
    }
}

bool MainWindowLogic::Retrying() const {
    return health_.Searching(d_.link.Info().Online);
}

bool MainWindowLogic::Connect() {
    const bool online = link::ConnectInstrument(d_.link, d_.dialogs, *this, kAppTitle);
    if (!online) view_.SetEnabled(Ctl::mnuEditInstrument, false);
    return online;
}

// The instrument was on line: look for it quietly (no message every 5 s while it is
// away), and run the whole connect with its messages once it answers.
bool MainWindowLogic::Reconnect() {
    health_.ForgetFailures();
    if (!InstrumentAnswers(d_.link)) {
        GoOffline();
        return false;
    }
    if (!Connect()) {
        // The connect said why (firmware, no output count); asking again every 5 s
        // would repeat that message. The communications window starts over.
        health_.PauseSearch();
        GoOffline();
        return false;
    }
    BackOnline();
    return true;
}

void MainWindowLogic::GoOffline() {
    auto& link = d_.link;
    link.MutableInfo().Online = false;
    link.OfflineNoticeShown = false;
    view_.SetTitle(OfflineTitle());
    view_.SetEnabled(Ctl::mnuEditInstrument, false);
    SetRunControlsEnabled(false);
    for (int k = 0; k < 4; ++k)  // the next reading gives them their colours back
        for (Ctl first :
             {Ctl::LblOutput, Ctl::txtOutRate, Ctl::txtOutDev, Ctl::txtOutThick, Ctl::txtOutPower})
            view_.SetTextColour(OutputControl(first, k), monitor::kStaleGrey);
    health_.OffLine();
    if (view_.TimerPeriod() != kPollPeriodMs) view_.SetTimerPeriod(kPollPeriodMs);
    view_.ShowStatus(Retrying() ? kRetryingText : "Off line.");
}

void MainWindowLogic::BackOnline() {
    health_.OnLine();
    SetRunControlsEnabled(true);
    UpdateButtons();
    view_.ShowStatus(d_.log.FailureText());
}

void MainWindowLogic::SetRunControlsEnabled(bool enabled) {
    for (Ctl c : kRunControls) view_.SetEnabled(c, enabled);
    for (int k = 0; k < 4; ++k) view_.SetEnabled(OutputControl(Ctl::sldManPwr, k), enabled);
}

void MainWindowLogic::CountTick(bool reading) {
    const std::optional<std::string> text = health_.CountTick(reading, d_.link.CommStatus());
    // Readings back: the log's notice, if any, shows again.
    if (text) view_.ShowStatus(text->empty() ? d_.log.FailureText() : *text);
}

void MainWindowLogic::HandlePendingAction() {
    const std::int16_t code = pending_;
    if (code == kNoAction) return;
    auto& link = d_.link;
    if (code >= kSliderPower && code < kSliderPower + 4) {
        const int k = code - kSliderPower;
        const long shown = util::RoundHalfEven(
            util::LeadingNumber(view_.Text(OutputControl(Ctl::txtOutPower, k))));
        if (view_.SliderPosition(k) != shown)
            commands::Comm_SetPower(link, std::int16_t(k + 1), view_.SliderPosition(k));
        UpdateButtons();
    } else if (code == kSelectProcess) {
        // Only a stopped instrument changes its process.
        const auto phase = AskAgainIfDamaged(
            link, [&] { return commands::Comm_GetStatus(link, d_.readings.status); });
        if (phase == 0 && view_.ProcessIndex() >= 0)
            commands::Comm_SelectProcess(link, d_.setup, view_.ProcessIndex() + 1);
    } else if (code == kAutoToManual) {
        // Manual power starts where automatic control stands: a hidden slider, which
        // the operator could not have set, first takes its output's power (going to
        // manual at a stale slider position would cut the power mid-layer).
        const int outputs = std::clamp(link.Info().ChannelCount, 0, 4);
        for (int n = 1; n <= outputs; ++n) {
            if (!view_.IsVisible(OutputControl(Ctl::sldManPwr, n - 1)))
                view_.SetSliderPosition(n - 1, SliderValue(d_.readings.outputs[n - 1].Power));
            commands::Comm_SetPower(link, std::int16_t(n), view_.SliderPosition(n - 1));
        }
        UpdateButtons();
    } else if (code == kManualToAuto) {
        commands::Comm_SetPower(link, 0, 0);
        UpdateButtons();
    } else {
        commands::Comm_RunCommand(link, code);
    }
    pending_ = kNoAction;
}

// True when the tick produced a reading: the status and both readings came back.
bool MainWindowLogic::Poll() {
    auto& link = d_.link;
    const std::int16_t p =
        AskAgainIfDamaged(link, [&] { return commands::Comm_GetStatus(link, d_.readings.status); });
    if (p < 0) return false;
    if (p != phase_) {
        SetPhase(p);
        view_.SetText(Ctl::txtPhase, PhaseName(p));
        UpdateButtons();
    }
    return GetReadings();
}

void MainWindowLogic::RestartGraphs() {
    d_.graphs.InitGraph(d_.readings, d_.clock.SecondsSinceMidnight());
}

void MainWindowLogic::SetPhase(std::int16_t p) {
    if (p == phase_) return;
    const std::int16_t old = phase_;
    if (IsPreDepositionPhase(old) && p > 5) {
        RestartGraphs();
        if (d_.log.Enabled()) StartLogRun();
    }
    phase_ = p;
    if (p == 13) RestartGraphs();
    // The end line closes a run that was started; a stop seen at start-up or after
    // a run without logging writes nothing.
    if (p == 0 && logRun_) {
        if (d_.log.Enabled()) d_.log.EndRun();
        logRun_ = false;
        ShowLogFailures();
    }
}

bool MainWindowLogic::GetReadings() {
    auto& link = d_.link;
    const bool read =
        AskAgainIfDamaged(
            link, [&] { return commands::Comm_GetSensorReadings(link, d_.readings.sensors); }) ==
            link::kOk &&
        AskAgainIfDamaged(link, [&] {
            return commands::Comm_GetOutputReadings(link, d_.readings.outputs);
        }) == link::kOk;
    if (read) UpdateReadings();
    if (!IsActivePhase(phase_)) {
        if (view_.TimerPeriod() != kPollPeriodMs) view_.SetTimerPeriod(kPollPeriodMs);
        return read;
    }
    d_.graphs.UpdateGraph(d_.readings, d_.clock.SecondsSinceMidnight());
    d_.graphs.AdvancePoint();
    if (d_.log.Enabled()) {
        // Logging switched on, or the program started, in the middle of a deposition:
        // the rest of it is logged as a run of its own.
        if (!logRun_) StartLogRun();
        d_.log.WriteRow(PhaseName(phase_), d_.readings);
        ShowLogFailures();
    }
    return read;
}

void MainWindowLogic::StartLogRun() {
    auto readPeriod = [this]() -> std::optional<double> {
        if (commands::ReadSystem(d_.link, d_.setup.system, 1) != link::kOk) return {};
        return d_.setup.system.Period;
    };
    view_.SetTimerPeriod(
        d_.log.InitDataLog(view_.TimerPeriod(), readPeriod, [this] { view_.PumpEvents(); }));
    logRun_ = true;
    ShowLogFailures();
}

void MainWindowLogic::ShowLogFailures() {
    const int failed = d_.log.FailedLines();
    if (failed == logFailuresShown_) return;
    logFailuresShown_ = failed;
    view_.ShowStatus(d_.log.FailureText());
}

void MainWindowLogic::UpdateReadings() {
    const auto& status = d_.readings.status;
    view_.SetText(Ctl::txtTime, util::FormatHMS(status.ElapsedTime));
    const int index = status.ProcessNumber - 1;
    const bool known =
        setup::Table<setup::ProcessRec, setup::kMaxProcesses>::Valid(status.ProcessNumber);
    if (known && !view_.ProcessListDropped() && view_.ProcessIndex() != index)
        view_.SetProcessIndex(index);

    // A process number the table does not hold shows no layers.
    const int layers = known ? d_.setup.processes[status.ProcessNumber].Number_Layers : 0;
    const std::string layerText = layers <= 0 ? "0" : std::to_string(status.LayerNumber);
    if (view_.Text(Ctl::txtLayerNum) != layerText) view_.SetText(Ctl::txtLayerNum, layerText);
    if (view_.Text(Ctl::txtLayerTotal) != std::to_string(layers))
        view_.SetText(Ctl::txtLayerTotal, std::to_string(layers));

    for (int k = 0; k < 4; ++k) {
        const auto& out = d_.readings.outputs[std::size_t(k)];
        const monitor::Rgb colour = monitor::OutputColour(k, out);
        for (Ctl first :
             {Ctl::LblOutput, Ctl::txtOutRate, Ctl::txtOutDev, Ctl::txtOutThick, Ctl::txtOutPower})
            view_.SetTextColour(OutputControl(first, k), colour);
        const monitor::OutputTexts texts = monitor::OutputText(out);
        view_.SetText(OutputControl(Ctl::txtOutRate, k), texts.rate);
        view_.SetText(OutputControl(Ctl::txtOutDev, k), texts.deviation);
        view_.SetText(OutputControl(Ctl::txtOutThick, k), texts.thickness);
        view_.SetText(OutputControl(Ctl::txtOutPower, k), texts.power);
        // A slider the operator holds is not moved.
        const Ctl slider = OutputControl(Ctl::sldManPwr, k);
        if (view_.IsVisible(slider) && !view_.SliderHasFocus(k))
            view_.SetSliderPosition(k, SliderValue(out.Power));
    }
}

void MainWindowLogic::UpdateButtons() {
    const ButtonRow row = ButtonsFor(phase_);
    for (std::size_t i = 0; i < kSlotButtons.size(); ++i)
        if (row.slots[i] >= 0) view_.SetVisible(kSlotButtons[i], row.slots[i] == 1);
    view_.SetEnabled(Ctl::cboProcess, row.processEnabled);
    bool autoMan = false, manAuto = false;
    switch (row.autoManual) {
        case AutoManual::ByRequest:
            manAuto = pending_ == kAutoToManual;
            autoMan = !manAuto;
            break;
        case AutoManual::AutoOnly:
            autoMan = true;
            break;
        case AutoManual::ManualOnly:
            manAuto = true;
            break;
        case AutoManual::Neither:
            break;
    }
    view_.SetVisible(Ctl::cmdAutoMan, autoMan);
    view_.SetVisible(Ctl::cmdManAuto, manAuto);
    for (int k = 0; k < 4; ++k) view_.SetVisible(OutputControl(Ctl::sldManPwr, k), row.sliders);
}

void MainWindowLogic::LoadProcesses() {
    view_.SetWindowEnabled(false);
    if (!d_.link.Info().Online) {
        view_.SetVisible(Ctl::fraOnLine, false);
        view_.SetWindowEnabled(true);
        return;
    }
    d_.progress.Show("Read Instrument", "Reading Delvar Processes:", "", 0);
    view_.SetVisible(Ctl::fraOnLine, true);
    view_.PumpEvents();
    std::vector<std::string> items;
    for (int n = 1; n <= setup::kMaxProcesses; ++n) {
        const std::string number = std::to_string(n) + ". ";
        if (commands::ReadProcess(d_.link, d_.setup, n, 1) == link::kOk)
            items.push_back(number + setup::FixedName(d_.setup.processes[n].Process_Name));
        else
            items.push_back(number + "Process " + std::to_string(n));
        d_.progress.Update("Reading Delvar Processes:", "", n * 100 / setup::kMaxProcesses);
    }
    view_.FillProcessList(items);
    commands::Comm_GetStatus(d_.link, d_.readings.status);
    const int process = d_.readings.status.ProcessNumber;
    if (setup::Table<setup::ProcessRec, setup::kMaxProcesses>::Valid(process))
        view_.SetProcessIndex(process - 1);
    d_.progress.Close();
    view_.SetWindowEnabled(true);
}

void MainWindowLogic::FollowOnline(bool online) {
    health_.ResumeSearch();
    if (online) {
        BackOnline();
        view_.StartTimer();
        return;
    }
    SetRunControlsEnabled(false);
    if (Retrying()) {
        health_.OffLine();
        view_.ShowStatus(kRetryingText);
        view_.StartTimer();
    } else {
        view_.StopTimer();
    }
}

}  // namespace delvar::app
