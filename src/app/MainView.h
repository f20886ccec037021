// What the main window's logic needs of its controls: visibility, enabled state,
// texts, colours, the process list, the power sliders, the poll timer and the title.
// The Qt window implements it; tests replace it with a recording double.
#pragma once

#include <string>
#include <vector>

#include "monitor/RunDisplay.h"

namespace delvar::app {

// Controls named as the window names them. Indexed controls take index 0..3 from
// their first entry (OutputControl).
enum class Ctl {
    cmdStart,
    cmdAbort,
    cmdStartLayer,
    cmdStopLayer,
    cmdNextLayer,
    cmdStartManLayer,
    cmdZero,
    cmdAutoMan,
    cmdManAuto,
    cboProcess,
    fraOnLine,
    mnuEditInstrument,
    txtPhase,
    txtLayerNum,
    txtLayerTotal,
    txtTime,
    sldManPwr,  // + output index
    LblOutput = sldManPwr + 4,
    txtOutRate = LblOutput + 4,
    txtOutDev = txtOutRate + 4,
    txtOutThick = txtOutDev + 4,
    txtOutPower = txtOutThick + 4,
    kCount = txtOutPower + 4,
};

constexpr Ctl OutputControl(Ctl first, int output) {
    return Ctl(int(first) + output);
}

class MainView {
  public:
    virtual ~MainView() = default;
    virtual void SetVisible(Ctl control, bool visible) = 0;
    virtual bool IsVisible(Ctl control) const = 0;
    virtual void SetEnabled(Ctl control, bool enabled) = 0;
    virtual void SetText(Ctl control, const std::string& text) = 0;
    virtual std::string Text(Ctl control) const = 0;
    virtual void SetTextColour(Ctl control, monitor::Rgb colour) = 0;

    // cboProcess: filling it never counts as a change of the selection; selecting an
    // item (by the operator or by SetProcessIndex) calls OnProcessChanged.
    virtual void FillProcessList(const std::vector<std::string>& items) = 0;
    virtual int ProcessIndex() const = 0;  // -1 when nothing is selected
    virtual void SetProcessIndex(int index) = 0;
    virtual bool ProcessListDropped() const = 0;

    // Power sliders 0..3, range 0..100; setting a position is not an operator move.
    virtual int SliderPosition(int slider) const = 0;
    virtual void SetSliderPosition(int slider, int position) = 0;
    virtual bool SliderHasFocus(int slider) const = 0;

    // tmrUpdate.
    virtual void StartTimer() = 0;
    virtual void StopTimer() = 0;
    virtual bool TimerRunning() const = 0;
    virtual int TimerPeriod() const = 0;
    virtual void SetTimerPeriod(int ms) = 0;

    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetWindowEnabled(bool enabled) = 0;  // the whole window takes input or not
    virtual void CheckViewGraph(int index) = 0;       // mnuViewGraph: index checked, others not
    virtual void ShowStatus(const std::string& text) = 0;
    virtual void ShowCommWindowOnTop() = 0;
    virtual void PumpEvents() = 0;  // let pending window events run (repaints)
};

}  // namespace delvar::app
