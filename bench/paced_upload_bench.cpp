// Whole-setup upload of the demo setup over a pty that delvar-sim paces at 19200 baud,
// as a real serial instrument's line: the time taken against the wire time of the
// bytes exchanged both ways (10 bits a byte). Prints figures only.
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <memory>

#include "integration/SimLink.h"
#include "setup/Progress.h"
#include "support/ScriptedDialogs.h"
#include "transfer/BatchTransfer.h"

int main(int argc, char** argv) {
    using namespace delvar;
    QCoreApplication app(argc, argv);
    constexpr int kBaud = 19200;
    testing::SimLink sim(testing::Transport::Pty,
                         {"--baud", std::to_string(kBaud), "--setup", DELVAR_DEMO_SETUP});
    if (!sim.Opened() || !sim.Connect()) {
        std::fprintf(stderr, "delvar-sim did not answer on its pty\n");
        return 1;
    }
    auto data = std::make_unique<setup::SetupData>();
    setup::ResetSetupData(*data);
    testing::ScriptedDialogs dialogs;
    setup::NoProgress progress;
    transfer::TransferState state;
    transfer::BatchTransfer transfer(sim.Link(), dialogs, progress, *data, state);

    for (int round = 1; round <= 3; ++round) {
        const auto& line = sim.Serial();
        const auto written = line.written, read = line.read;
        const auto exchanges = sim.Link().ExchangeCount();
        const auto start = std::chrono::steady_clock::now();
        const bool ok = transfer.Upload({});
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const auto bytes = (line.written - written) + (line.read - read);
        const double wire = double(bytes) * 10.0 / kBaud;
        std::printf(
            "upload at %d baud: %llu exchanges, %llu bytes on the wire (%.3f s), took %.3f s, "
            "ratio %.3f%s\n",
            kBaud, static_cast<unsigned long long>(sim.Link().ExchangeCount() - exchanges),
            static_cast<unsigned long long>(bytes), wire, seconds, seconds / wire,
            ok ? "" : " (failed)");
    }
    for (const std::string& text : dialogs.Texts()) std::printf("message: %s\n", text.c_str());
    return 0;
}
