// The main window (offscreen) against delvar-sim over loopback TCP under faults.
// Prints figures only:
//  1. the instrument gone and the window looking for it every 5 s, in two forms:
//     switched off (the port is refused) and silent (the port accepts, nothing
//     answers, so each attempt waits out its reply): the worst lateness of a 5 ms probe
//     timer, and the process CPU measured in a second pass without the probe;
//  2. a line that damages one reply in 25: the share of poll ticks that still
//     produce a reading.
//   main_window_fault_bench [--seconds S] [--ticks N]
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "monitor/DataLog.h"
#include "platform/QtEventPump.h"
#include "platform/QtSerialPort.h"
#include "platform/QtTcpSocket.h"
#include "setup/Progress.h"
#include "support/FakeSerialDevices.h"
#include "support/FakeUsbXpress.h"
#include "support/ScriptedDialogs.h"
#include "support/SimProcess.h"
#include "windows/app/frmMain.h"

namespace {

using namespace delvar;

double ProcessCpuS() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

std::unique_ptr<testing::SimProcess> StartSim(int port, std::vector<std::string> extra) {
    testing::SimOptions options;
    options.tcp = port == 0;
    if (port != 0) options.extraArgs = {"--port", std::to_string(port)};
    options.extraArgs.insert(options.extraArgs.end(), extra.begin(), extra.end());
    return std::make_unique<testing::SimProcess>(DELVAR_SIM_PATH, options);
}

// The Qt socket, counting the connections asked for.
class CountingTcpSocket final : public link::TcpSocket {
  public:
    platform::QtTcpSocket socket;
    int connects = 0;

    void ConnectTo(const std::string& host, std::uint16_t port) override {
        ++connects;
        socket.ConnectTo(host, port);
    }
    int State() const override { return socket.State(); }
    int BytesReceived() const override { return socket.BytesReceived(); }
    link::Bytes ReadAll() override { return socket.ReadAll(); }
    bool Send(const link::Bytes& bytes) override { return socket.Send(bytes); }
    void Close() override { socket.Close(); }
};

// The main window on the real link to a simulator on port.
struct Window {
    platform::QtSerialPort serial;
    CountingTcpSocket tcp;
    testing::FakeUsbXpress usb;
    platform::QtEventPump pump;
    link::SteadyClock steady;
    link::Link link{{serial, tcp, usb, pump, steady}};
    testing::ScriptedDialogs dialogs;
    setup::NoProgress progress;
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    commands::RunReadings readings;
    monitor::ManualClock clock;
    app::AppSettings settings;
    monitor::DataLog log{settings.log, "/tmp", clock, dialogs};
    delvar::testing::FakeSerialDevices serialDevices;
    std::unique_ptr<windows::frmMain> w;
    int versions = 0;  // "@" sent

    explicit Window(int port) {
        setup::ResetSetupData(*setup);
        link.Settings().Type = link::kPortTcp;
        link.Settings().EAddress = "127.0.0.1";
        link.Settings().EPort = std::to_string(port);
        link.OnCommand = [this](const std::string& c) { versions += c == "@"; };
        w = std::make_unique<windows::frmMain>(windows::MainWindowDeps{
            link, *setup, readings, log, settings, clock, dialogs, progress, serialDevices, ""});
        w->Logic().Load(true);
        w->show();
    }
};

// The program's own event loop for seconds (it sleeps while nothing is due).
void RunEvents(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

// A 5 ms timer noting how late each of its rings comes.
struct Probe {
    QTimer timer;
    QElapsedTimer since;
    std::vector<double> lateMs;

    void Start() {
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            lateMs.push_back(double(since.nsecsElapsed()) / 1e6 - 5);
            since.restart();
        });
        since.start();
        timer.start(5);
    }
    double Worst() const {
        return lateMs.empty() ? 0 : *std::max_element(lateMs.begin(), lateMs.end());
    }
    double P99() const {
        if (lateMs.empty()) return 0;
        std::vector<double> v = lateMs;
        std::sort(v.begin(), v.end());
        return v[std::size_t(0.99 * double(v.size() - 1))];
    }
};

struct Figures {
    double worstLateMs = 0;
    double p99LateMs = 0;
    double cpuPercent = 0;
    int attempts = 0;  // connections asked for
    int versions = 0;  // of them, answered by the port and asked for the version
};

// The window found the instrument on a simulator that is then switched off, or
// replaced on its port by one that never answers; the events run for seconds.
Figures InstrumentGone(bool silent, double seconds, bool probe) {
    auto sim = StartSim(0, {});
    const int port = sim->tcpPort();
    Window window(port);
    RunEvents(2);  // connects and polls
    if (!window.link.Info().Online) std::fprintf(stderr, "the window did not connect\n");
    sim.reset();
    if (silent) sim = StartSim(port, {"--silent-every", "1"});

    Figures f;
    Probe p;
    if (probe) p.Start();
    const int before = window.tcp.connects, versionsBefore = window.versions;
    const double cpu = ProcessCpuS();
    QElapsedTimer wall;
    wall.start();
    RunEvents(seconds);
    f.cpuPercent = 100 * (ProcessCpuS() - cpu) / (double(wall.nsecsElapsed()) / 1e9);
    f.worstLateMs = p.Worst();
    f.p99LateMs = p.P99();
    f.attempts = window.tcp.connects - before;
    f.versions = window.versions - versionsBefore;
    if (window.link.Info().Online) std::fprintf(stderr, "the window stayed on line\n");
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    double seconds = 30;
    int ticks = 2000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--seconds") seconds = std::stod(argv[i + 1]);
        if (std::string(argv[i]) == "--ticks") ticks = std::stoi(argv[i + 1]);
    }

    {
        // The same probe with no window: what the machine itself makes of 5 ms.
        Probe p;
        p.Start();
        RunEvents(seconds);
        std::printf("no window, %.0f s: the 5 ms probe late by %.1f ms at worst, %.1f ms p99\n",
                    seconds, p.Worst(), p.P99());
    }
    for (bool silent : {false, true}) {
        const Figures late = InstrumentGone(silent, seconds, true);
        const Figures cpu = InstrumentGone(silent, seconds, false);
        std::printf(
            "instrument %s, window looking for it, %.0f s: worst lateness of the 5 ms "
            "probe %.1f ms (p99 %.1f ms); process CPU %.2f %% of one core (without the probe); "
            "%d connect attempts, %d of them asking \"@\"\n",
            silent ? "silent (port open)" : "switched off (port refused)", seconds,
            late.worstLateMs, late.p99LateMs, cpu.cpuPercent, cpu.attempts, cpu.versions);
    }

    auto sim = StartSim(0, {"--corrupt-every", "25"});
    Window window(sim->tcpPort());
    window.w->UpdateTimer().stop();  // ticks one after another
    window.w->Logic().Tick();
    const auto& logic = window.w->Logic();
    const std::uint64_t polled = logic.PollTicks(), read = logic.ReadingTicks();
    const int versions = window.versions;
    for (int i = 0; i < ticks; ++i) window.w->Logic().Tick();
    const double polls = double(logic.PollTicks() - polled);
    std::printf(
        "--corrupt-every 25, %d ticks: %.0f polled, %.2f %% produced a reading, "
        "%d reconnects\n",
        ticks, polls, polls > 0 ? 100 * double(logic.ReadingTicks() - read) / polls : 0.0,
        window.versions - versions);
    return 0;
}
