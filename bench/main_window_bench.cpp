// The main window during a simulated deposition on the built-in instrument (offscreen):
// main-thread CPU per poll tick, the worst lateness of a 5 ms probe timer, the
// program's CPU while monitoring, start-up to the first painted main window, and
// resident memory over a long simulated run. Prints figures only.
//   main_window_bench [--speed F] [--sim-minutes M] [--probe 0|1]
// The probe timer's own wake-ups cost CPU: measure the CPU figure with --probe 0.
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/UserSettingsStore.h"
#include "windows/app/Program.h"
#include "windows/app/frmMain.h"

namespace {

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double ProcessCpuS() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double ResidentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * double(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

// Notes the first paint of a widget.
struct FirstPaint : QObject {
    QElapsedTimer& since;
    double ms = -1;
    explicit FirstPaint(QElapsedTimer& s) : since(s) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && ms < 0) ms = double(since.nsecsElapsed()) / 1e6;
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    using namespace delvar;
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    double speed = 1, simMinutes = 2;
    bool withProbe = true;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--speed") speed = std::stod(argv[i + 1]);
        if (std::string(argv[i]) == "--sim-minutes") simMinutes = std::stod(argv[i + 1]);
        if (std::string(argv[i]) == "--probe") withProbe = std::string(argv[i + 1]) != "0";
    }
    app::ProgramOptions options;
    options.simulator = true;
    options.setupFile = DELVAR_DEMO_SETUP;
    options.speed = speed;
    options.settingsFolder = QDir::tempPath().toStdString();
    app::MemorySettingsStore store;
    windows::Program program(options, &store);
    FirstPaint paint(sinceStart);
    std::string error;
    if (!program.Start(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    windows::frmMain& w = program.Main();
    w.installEventFilter(&paint);
    while (paint.ms < 0) app.processEvents(QEventLoop::WaitForMoreEvents);

    // The window's timer drives the ticks through this slot instead of the window's
    // own, so that the thread CPU of each tick and of the repaint it causes (the
    // posted update requests) can be read around it.
    std::vector<double> tickMs, rss;
    double probeWorstMs = 0;
    bool started = false, monitoring = false;
    double monitorCpuStart = 0, monitorWallStart = 0, simStartElapsed = -1;
    QElapsedTimer wall;
    wall.start();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QElapsedTimer probeClock;
    probeClock.start();
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double late = double(probeClock.nsecsElapsed()) / 1e6 - 5;
        if (monitoring) probeWorstMs = std::max(probeWorstMs, late);
        probeClock.restart();
    });
    if (withProbe) probe.start(5);
    QObject::disconnect(&w.UpdateTimer(), &QTimer::timeout, &w, nullptr);
    QObject::connect(&w.UpdateTimer(), &QTimer::timeout, [&] {
        const double before = ThreadCpuMs();
        w.Logic().Tick();
        QCoreApplication::processEvents();
        const double now = ThreadCpuMs();
        const int phase = w.Logic().Phase();
        if (monitoring) tickMs.push_back(now - before);
        if (!started && w.findChild<QComboBox*>("cboProcess")->count() > 0 && phase == 0) {
            w.findChild<QComboBox*>("cboProcess")->setCurrentIndex(3);  // the CoDep process
            w.findChild<QPushButton*>("cmdStart")->click();
            started = true;
        }
        if (started && !monitoring && phase >= 6) {
            monitoring = true;
            monitorCpuStart = ProcessCpuS();
            monitorWallStart = double(wall.nsecsElapsed()) / 1e9;
        }
        if (monitoring && phase == 0) {  // restart so the run never ends
            w.findChild<QPushButton*>("cmdStart")->click();
        }
        const double simSeconds = (double(wall.nsecsElapsed()) / 1e9) * speed;
        if (simStartElapsed < 0 && monitoring) simStartElapsed = simSeconds;
        if (monitoring && int(tickMs.size()) % 100 == 0) rss.push_back(ResidentMb());
        if (monitoring && simSeconds - simStartElapsed >= simMinutes * 60) app.quit();
    });
    app.exec();
    const double wallS = double(wall.nsecsElapsed()) / 1e9 - monitorWallStart;
    const double cpuS = ProcessCpuS() - monitorCpuStart;
    std::printf("speed %.0f, %.1f simulated minutes monitored, %zu ticks\n", speed, simMinutes,
                tickMs.size());
    std::printf("start-up to first painted main window: %.0f ms\n", paint.ms);
    std::printf("main-thread CPU per tick: median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                Percentile(tickMs, 0.5), Percentile(tickMs, 0.99), Percentile(tickMs, 1.0));
    std::printf("worst lateness of the 5 ms probe timer: %.1f ms\n", probeWorstMs);
    std::printf("process CPU while monitoring: %.2f %% of one core (%.1f s CPU in %.1f s)\n",
                100 * cpuS / wallS, cpuS, wallS);
    if (!rss.empty())
        std::printf("resident memory: first %.1f MB, last %.1f MB, max %.1f MB\n", rss.front(),
                    rss.back(), *std::max_element(rss.begin(), rss.end()));
    return 0;
}
