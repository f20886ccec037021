// Whole-setup upload and download against delvar-sim over loopback TCP, with the
// demo-sized setup of every process holding layers: exchanges and seconds of each.
// Prints figures only.
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "integration/SimLink.h"
#include "setup/LayerChains.h"
#include "support/ScriptedDialogs.h"
#include "transfer/BatchTransfer.h"

namespace {

using namespace delvar;
using Clock = std::chrono::steady_clock;

// Saves nowhere: the database side is measured by database_bench.
struct NoFiles final : transfer::SetupFiles {
    bool Save(const std::string&) override { return true; }
    bool Open(const std::string&) override { return true; }
    std::string CurrentDatabase() const override { return {}; }
};

// Every process with three layers, the last two a top layer and its CoDep partner.
void FillProcesses(setup::SetupData& s) {
    for (int p = 1; p <= setup::kMaxProcesses; ++p) {
        int after = 0;
        for (int k = 0; k < 2; ++k) {
            after = setup::InsertLayer(s, p, after);
            s.layers[after].Film_Number = std::int16_t(1 + (p + k) % 50);
            s.layers[after].Rate = 5 + k;
            s.layers[after].Final_Thick = 0.5;
        }
        const int partner = setup::InsertCoDepLayer(s, p, after);
        if (partner > 0) s.layers[partner].Output_Number = 2;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::SimLink sim(testing::Transport::Tcp, {"--codep"});
    link::Link& link = sim.Link();
    testing::ScriptedDialogs dialogs;
    if (!sim.Connect()) {
        std::fprintf(stderr, "delvar-sim did not answer\n");
        return 1;
    }
    auto data = std::make_unique<setup::SetupData>();
    setup::ResetSetupData(*data);
    FillProcesses(*data);
    setup::NoProgress progress;
    transfer::TransferState state;
    transfer::BatchTransfer transfer(link, dialogs, progress, *data, state);
    NoFiles files;

    for (int round = 1; round <= 3; ++round) {
        dialogs.answers.assign(1, core::MessageAnswer::No);
        auto before = link.ExchangeCount();
        auto start = Clock::now();
        const bool down = transfer.Download({}, files, {"", "."});
        const double downSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        const auto downExchanges = link.ExchangeCount() - before;

        before = link.ExchangeCount();
        start = Clock::now();
        const bool up = transfer.Upload({});
        const double upSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        const auto upExchanges = link.ExchangeCount() - before;
        std::printf("round %d: download %llu exchanges %.3f s%s; upload %llu exchanges %.3f s%s\n",
                    round, static_cast<unsigned long long>(downExchanges), downSeconds,
                    down ? "" : " (failed)", static_cast<unsigned long long>(upExchanges),
                    upSeconds, up ? "" : " (failed)");
    }
    for (const std::string& text : dialogs.Texts()) std::printf("message: %s\n", text.c_str());
    return 0;
}
