// The main window's logic over a recording view and a scripted instrument on a fake
// link: the test sets the phase and readings the instrument reports and reads back
// the commands sent and what the controls show.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/MainWindowLogic.h"
#include "support/LinkRig.h"
#include "support/ScriptedDialogs.h"

namespace delvar::testing {

struct ControlState {
    bool visible = true, enabled = true;
    std::string text;
    monitor::Rgb colour{};
};

class FakeMainView final : public app::MainView {
  public:
    void SetVisible(app::Ctl c, bool v) override { controls[c].visible = v; }
    bool IsVisible(app::Ctl c) const override { return Get(c).visible; }
    void SetEnabled(app::Ctl c, bool e) override { controls[c].enabled = e; }
    void SetText(app::Ctl c, const std::string& t) override {
        if (throwOnPhaseText && c == app::Ctl::txtPhase) throw std::runtime_error("drawing failed");
        controls[c].text = t;
    }
    std::string Text(app::Ctl c) const override { return Get(c).text; }
    void SetTextColour(app::Ctl c, monitor::Rgb rgb) override { controls[c].colour = rgb; }
    void FillProcessList(const std::vector<std::string>& items) override {
        processes = items;
        processIndex = -1;
    }
    int ProcessIndex() const override { return processIndex; }
    void SetProcessIndex(int i) override {
        if (i == processIndex || i < 0 || i >= int(processes.size())) return;
        processIndex = i;
        if (logic) logic->OnProcessChanged();
    }
    bool ProcessListDropped() const override { return dropped; }
    int SliderPosition(int k) const override { return sliders[std::size_t(k)]; }
    void SetSliderPosition(int k, int p) override { sliders[std::size_t(k)] = p; }
    bool SliderHasFocus(int k) const override { return focusedSlider == k; }
    void StartTimer() override { timer = true; }
    void StopTimer() override { timer = false; }
    bool TimerRunning() const override { return timer; }
    int TimerPeriod() const override { return period; }
    void SetTimerPeriod(int ms) override { period = ms; }
    void SetTitle(const std::string& t) override { title = t; }
    void SetWindowEnabled(bool e) override { windowEnabled = e; }
    void CheckViewGraph(int i) override { checkedGraph = i; }
    void ShowStatus(const std::string& t) override { status = t; }
    void ShowCommWindowOnTop() override { ++commWindowShown; }
    void PumpEvents() override {}

    ControlState Get(app::Ctl c) const {
        auto it = controls.find(c);
        return it == controls.end() ? ControlState{} : it->second;
    }
    bool Shown(app::Ctl c) const { return Get(c).visible; }

    app::MainWindowLogic* logic = nullptr;
    bool throwOnPhaseText = false;
    std::map<app::Ctl, ControlState> controls;
    std::vector<std::string> processes;
    int processIndex = -1;
    bool dropped = false;
    std::array<int, 4> sliders{};
    int focusedSlider = -1;
    bool timer = false;
    int period = 0;
    std::string title, status;
    bool windowEnabled = true;
    int checkedGraph = -1;
    int commWindowShown = 0;
};

// What the scripted instrument reports.
struct FakeInstrument {
    std::string version = "Delvar 6.30";
    int channels = 4;
    int phase = 0;
    double elapsed = 0;
    int process = 1, layer = 1;
    std::string outputs = "0 1.5 2.0 0.123 40 0 0 0 -1 0 0 0 -1 0 0 0 -1";
    std::string sensors = "0 1.5 0.123 5900000 0 0 0 0 0 0 0 0 0";
    int failingName = 0;     // process whose name read fails
    char statusOfAll = 'A';  // the status every command gets
    bool gone = false;       // nothing is answered
    // Status characters the next replies to a command get, one each ("F": damaged).
    std::map<std::string, std::string> next;
    std::vector<std::string> commands;

    Answer Respond(const std::string& c) {
        commands.push_back(c);
        if (gone) return {0, ""};
        if (auto it = next.find(c); it != next.end() && !it->second.empty()) {
            const char status = it->second.front();
            it->second.erase(0, 1);
            if (status != 'A') return {status, ""};
        }
        if (statusOfAll != 'A') return {statusOfAll, ""};
        if (c == "@") return {'A', version};
        if (c == "J") return {'A', std::to_string(channels)};
        if (c == "V")
            return {'A', std::to_string(phase) + " " + std::to_string(elapsed) + " " +
                             std::to_string(process) + " " + std::to_string(layer) + " 0"};
        if (c == "K1") return {'A', outputs};
        if (c == "K2") return {'A', sensors};
        if (c.size() > 1 && c[0] == 'C' && c.find("? 1") != std::string::npos) {
            const int n = std::stoi(c.substr(1));
            if (n == failingName) return {'D', ""};
            return {'A', "Process name " + std::to_string(n)};
        }
        if (c.size() > 1 && c[0] == 'C' && c.find('?') != std::string::npos) return {'A', "1"};
        if (c.rfind("B?", 0) == 0) return {'A', "1,10"};  // a measurement period of 0.1 s
        return {'A', ""};
    }
    // The commands sent since the last call, the poll's "V", "K1" and "K2" left out.
    std::vector<std::string> Sent() {
        std::vector<std::string> out;
        for (const auto& c : commands)
            if (c != "V" && c != "K1" && c != "K2") out.push_back(c);
        commands.clear();
        return out;
    }
};

}  // namespace delvar::testing
