// Reading the whole instrument setup from delvar-sim over loopback TCP with the
// command set: how many exchanges, how long, and how that compares with the same
// number of bare round trips measured in the same run. Prints figures only.
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

#include "commands/modCommFilm.h"
#include "commands/modCommLogic.h"
#include "commands/modCommProcess.h"
#include "commands/modCommSystem.h"
#include "integration/SimLink.h"
#include "setup/LayerChains.h"
#include "support/ScriptedDialogs.h"

namespace {

using namespace delvar;
using Clock = std::chrono::steady_clock;

// Every record the instrument holds, in the order a whole-setup upload reads them.
int ReadWholeSetup(link::Link& link, core::DialogService& dialogs, setup::SetupData& s) {
    using namespace commands;
    int failures = 0;
    auto count = [&](int result) { failures += result != 0; };
    auto mark = Clock::now();
    auto section = [&](const char* name) {
        const auto now = Clock::now();
        std::printf("  %-10s %.1f ms\n", name,
                    std::chrono::duration<double>(now - mark).count() * 1e3);
        mark = now;
    };
    const int channels = std::clamp(link.Info().ChannelCount, 1, setup::kMaxChannels);
    count(BeginTransfer(link));
    count(ReadSystem(link, s.system, 0));
    for (int p = 1; p <= setup::kMaxProcesses; ++p) {
        count(ReadProcess(link, s, p, 0));
        for (int layer : setup::WalkProcess(s, p)) count(ReadLayer(link, s, layer, 0));
    }
    section("processes");
    for (int f = 1; f <= setup::kMaxFilms; ++f) count(ReadFilm(link, s, f));
    section("films");
    for (int m = 1; m <= setup::kMaxMaterials; ++m) count(ReadMaterial(link, dialogs, s, m, 0));
    section("materials");
    for (int k = 1; k <= channels; ++k) {
        count(ReadSensor(link, s.sensors, k, 0));
        count(ReadSensorIO(link, s.sensors, k, 1));
        count(ReadSensorIO(link, s.sensors, k, 2));
        count(ReadSource(link, s.sources, k, 0));
        count(ReadSourceIO(link, s.sources, k, 1));
        count(ReadSourceIO(link, s.sources, k, 2));
    }
    for (int io = 1; io <= 4 * channels; ++io) {
        count(ReadInput(link, s.inputs, io, 0));
        count(ReadRelay(link, s.relays, io, 0));
    }
    section("sensors/io");
    for (int l = 1; l <= setup::kMaxLogic; ++l) count(ReadLogic(link, s.logic, l));
    section("logic");
    count(EndTransfer(link));
    return failures;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::SimLink sim(testing::Transport::Tcp);
    link::Link& link = sim.Link();
    testing::ScriptedDialogs dialogs;
    if (!sim.Connect()) {
        std::fprintf(stderr, "delvar-sim did not answer\n");
        return 1;
    }

    std::vector<double> rounds;
    for (int i = 0; i < 500; ++i) {
        auto start = Clock::now();
        link.SendCommand("J");
        rounds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(rounds.begin(), rounds.end());
    const double roundTrip = rounds[rounds.size() / 2];

    auto setup = std::make_unique<setup::SetupData>();
    setup::ResetSetupData(*setup);
    dialogs.answers.assign(1000, core::MessageAnswer::No);
    const auto before = link.ExchangeCount();
    auto start = Clock::now();
    int failures = ReadWholeSetup(link, dialogs, *setup);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const auto exchanges = link.ExchangeCount() - before;
    std::printf("whole-setup read: %llu exchanges, %.3f s, %d failed operations\n",
                static_cast<unsigned long long>(exchanges), seconds, failures);
    std::printf("median raw round trip: %.1f us\n", roundTrip * 1e6);
    std::printf("ratio to exchanges x round trip: %.2f\n",
                seconds / (double(exchanges) * roundTrip));
    return 0;
}
