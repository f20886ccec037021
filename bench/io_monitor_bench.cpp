// The digital I/O monitor against delvar-sim over loopback TCP, offscreen: one tick
// of a four-channel instrument (16 I/O count exchanges, 32 rows coloured, the controls
// disabled and given back, then the repaint that asks for). The main thread's CPU time leaves out
// the reply waits, in which the thread sleeps; the wall time includes them. Prints figures only
// (median and worst of 200 ticks).
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "integration/SimLink.h"
#include "support/ScriptedDialogs.h"
#include "windows/editors/frmIO.h"

namespace {

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void Report(const char* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("%s: median %.3f ms, worst %.3f ms\n", what, v[v.size() / 2], v.back());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace delvar;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::SimLink sim(testing::Transport::Tcp, {"--channels", "4"});
    if (!sim.Connect()) {
        std::fprintf(stderr, "io_monitor_bench: the simulator did not answer\n");
        return 1;
    }
    setup::SetupData data;
    setup::ResetSetupData(data);
    testing::ScriptedDialogs dialogs;
    setup::NoProgress progress;
    editors::EditorContext context{sim.Link(), data, dialogs, progress};
    windows::frmIO window(context);
    window.show();
    window.findChild<QCheckBox*>("chkMonitor")->click();
    QCoreApplication::processEvents();

    std::vector<double> cpu, wall;
    for (int tick = 0; tick < 200; ++tick) {
        QElapsedTimer t;
        t.start();
        const double before = ThreadCpuMs();
        window.MonitorTimer();
        QCoreApplication::processEvents();  // the repaint the tick asked for
        cpu.push_back(ThreadCpuMs() - before);
        wall.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    Report("monitor tick, main-thread CPU (reply waits excluded)", cpu);
    Report("monitor tick, wall time (16 exchanges included)", wall);
    if (!dialogs.Texts().empty()) std::printf("message: %s\n", dialogs.LastText().c_str());
    return 0;
}
