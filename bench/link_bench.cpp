// Link figures: exchange round trip against delvar-sim over loopback TCP and a
// pseudo-terminal, a raw socket ping-pong of the same bytes for comparison, and the
// CPU time one timed-out exchange uses. Prints figures; nothing here passes or fails.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>

#include "link/Frame.h"
#include "link/Link.h"
#include "platform/QtEventPump.h"
#include "platform/QtSerialPort.h"
#include "platform/QtTcpSocket.h"
#include "support/FakeUsbXpress.h"
#include "support/SimProcess.h"

namespace {

using namespace delvar;
using Clock = std::chrono::steady_clock;

std::map<std::string, double> gMedians;

struct Stats {
    double median = 0, p99 = 0;
};

Stats Summarise(std::vector<double>& micros) {
    std::sort(micros.begin(), micros.end());
    if (micros.empty()) return {};
    return {micros[micros.size() / 2],
            micros[std::min(micros.size() - 1, micros.size() * 99 / 100)]};
}

void Report(benchmark::State& state, const std::string& name, std::vector<double>& micros) {
    Stats s = Summarise(micros);
    state.counters["median_us"] = s.median;
    state.counters["p99_us"] = s.p99;
    gMedians[name] = s.median;
}

struct RealLink {
    platform::QtSerialPort serial;
    platform::QtTcpSocket tcp;
    testing::FakeUsbXpress usb;
    platform::QtEventPump pump;
    link::SteadyClock clock;
    link::Link link{{serial, tcp, usb, pump, clock}};
};

// Times "J" exchanges over an opened link and reports them under name.
void TimeExchanges(benchmark::State& state, RealLink& r, const std::string& name) {
    if (!r.link.OpenSelectedPort()) {
        state.SkipWithError("cannot open the link to delvar-sim");
        return;
    }
    std::vector<double> micros;
    for (auto _ : state) {
        auto start = Clock::now();
        benchmark::DoNotOptimize(r.link.SendCommand("J"));
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        if (r.link.CommStatus() != 0) state.SkipWithError("exchange failed");
    }
    Report(state, name, micros);
}

void BM_ExchangeTcp(benchmark::State& state) {
    testing::SimProcess sim(DELVAR_SIM_PATH, {});
    RealLink r;
    r.link.Settings().EAddress = "127.0.0.1";
    r.link.Settings().EPort = std::to_string(sim.tcpPort());
    TimeExchanges(state, r, "tcp");
}

void BM_RawSocketPingPong(benchmark::State& state) {
    testing::SimProcess sim(DELVAR_SIM_PATH, {});
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(sim.tcpPort()));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        state.SkipWithError("cannot connect to delvar-sim");
        close(fd);
        return;
    }
    const auto frame = link::BuildCommandFrame("J", true);
    const std::size_t replySize = link::BuildReplyFrame('A', "4").size();
    std::vector<double> micros;
    std::uint8_t buffer[256];
    for (auto _ : state) {
        auto start = Clock::now();
        if (write(fd, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) break;
        std::size_t got = 0;
        while (got < replySize) {
            ssize_t n = read(fd, buffer + got, sizeof buffer - got);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    close(fd);
    Report(state, "raw", micros);
}

void BM_ExchangePty19200(benchmark::State& state) {
    testing::SimOptions options;
    options.tcp = false;
    options.pty = true;
    testing::SimProcess sim(DELVAR_SIM_PATH, options);
    RealLink r;
    r.link.Settings().Type = link::kPortRs232;
    r.link.Settings().RS232Baud = 0;  // 19200
    r.serial.SetDevicePath(1, sim.ptyPath());
    TimeExchanges(state, r, "pty");
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_TimedOutExchangeCpu(benchmark::State& state) {
    testing::SimOptions options;
    options.extraArgs = {"--silent-every", "1"};
    testing::SimProcess sim(DELVAR_SIM_PATH, options);
    RealLink r;
    r.link.Settings().EAddress = "127.0.0.1";
    r.link.Settings().EPort = std::to_string(sim.tcpPort());
    r.link.OpenSelectedPort();
    double cpu = 0;
    for (auto _ : state) {
        double before = CpuSeconds();
        r.link.SendCommand("J");
        cpu += CpuSeconds() - before;
    }
    state.counters["cpu_s_per_exchange"] = cpu / double(state.iterations());
}

BENCHMARK(BM_RawSocketPingPong)->Iterations(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExchangeTcp)->Iterations(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExchangePty19200)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TimedOutExchangeCpu)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (gMedians.count("tcp") && gMedians.count("raw") && gMedians["raw"] > 0)
        std::printf("exchange/raw median ratio over TCP: %.2f\n",
                    gMedians["tcp"] / gMedians["raw"]);
    return 0;
}
