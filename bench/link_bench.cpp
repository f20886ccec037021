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

#include "integration/SimLink.h"
#include "link/Frame.h"

namespace {

using namespace delvar;
using testing::SimLink;
using testing::Transport;
using Clock = std::chrono::steady_clock;

std::map<std::string, double> gMedians;

void Report(benchmark::State& state, const std::string& name, std::vector<double>& micros) {
    if (micros.empty()) return;
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = gMedians[name] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
}

// Times "J" exchanges over the fixture's link and reports them under name.
void TimeExchanges(benchmark::State& state, SimLink& sim, const std::string& name) {
    if (!sim.Opened()) {
        state.SkipWithError("cannot open the link to delvar-sim");
        return;
    }
    std::vector<double> micros;
    for (auto _ : state) {
        auto start = Clock::now();
        benchmark::DoNotOptimize(sim.Link().SendCommand("J"));
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        if (sim.Link().CommStatus() != 0) state.SkipWithError("exchange failed");
    }
    Report(state, name, micros);
}

void BM_ExchangeTcp(benchmark::State& state) {
    SimLink sim(Transport::Tcp);
    TimeExchanges(state, sim, "tcp");
}

void BM_ExchangePty(benchmark::State& state) {
    SimLink sim(Transport::Pty);
    TimeExchanges(state, sim, "pty");
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

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_TimedOutExchangeCpu(benchmark::State& state) {
    SimLink sim(Transport::Tcp, {"--silent-every", "1"});
    double cpu = 0;
    for (auto _ : state) {
        double before = CpuSeconds();
        sim.Link().SendCommand("J");
        cpu += CpuSeconds() - before;
    }
    state.counters["cpu_s_per_exchange"] = cpu / double(state.iterations());
}

BENCHMARK(BM_RawSocketPingPong)->Iterations(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExchangeTcp)->Iterations(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExchangePty)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TimedOutExchangeCpu)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (gMedians.count("tcp") && gMedians.count("raw") && gMedians["raw"] > 0)
        std::printf("median exchange over TCP: link %.1f us, raw socket %.1f us, ratio %.2f\n",
                    gMedians["tcp"], gMedians["raw"], gMedians["tcp"] / gMedians["raw"]);
    return 0;
}
