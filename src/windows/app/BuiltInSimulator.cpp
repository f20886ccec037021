#include "windows/app/BuiltInSimulator.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <thread>

#include "sim/CommandHandler.h"
#include "sim/FaultInjector.h"
#include "sim/Responder.h"
#include "sim/Server.h"
#include "sim/SetupLoader.h"

namespace delvar::windows {

struct BuiltInSimulator::Engine {
    explicit Engine(const SimulatorSetup& setup)
        : responder(Model(setup)),
          handler(responder, faults, setup.speed),
          server(Options(), handler) {}
    static sim::InstrumentModel Model(const SimulatorSetup& setup) {
        sim::InstrumentModel model;
        model.channels = 4;
        model.codep = setup.codep;
        return model;
    }
    static sim::ServerOptions Options() {
        sim::ServerOptions options;
        options.port = 0;  // a free loopback port
        options.quiet = true;
        return options;
    }
    sim::Responder responder;
    sim::FaultInjector faults{sim::FaultOptions{}};
    sim::CommandHandler handler;
    sim::Server server;
    volatile std::sig_atomic_t stop = 0;
    std::thread thread;
};

BuiltInSimulator::BuiltInSimulator() = default;

BuiltInSimulator::~BuiltInSimulator() {
    if (!engine_ || !engine_->thread.joinable()) return;
    engine_->stop = 1;
    // The server sleeps in poll() until something happens on its sockets: a
    // connection wakes it so that it sees the stop.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(Port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    engine_->thread.join();
    ::close(fd);
}

bool BuiltInSimulator::Start(const SimulatorSetup& setup, std::string& error) {
    engine_ = std::make_unique<Engine>(setup);
    if (!setup.setupFile.empty()) {
        const sim::LoadResult loaded =
            sim::LoadSetupFile(setup.setupFile, engine_->responder.Store());
        if (!loaded.opened) {
            error = loaded.error;
            return false;
        }
    }
    if (!engine_->server.Start(error)) return false;
    engine_->thread = std::thread([engine = engine_.get()] { engine->server.Run(engine->stop); });
    return true;
}

int BuiltInSimulator::Port() const {
    return engine_ ? engine_->server.TcpPort() : 0;
}

}  // namespace delvar::windows
