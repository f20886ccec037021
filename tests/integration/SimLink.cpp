#include "integration/SimLink.h"

#include "link/Connect.h"
#include "support/ScriptedDialogs.h"

namespace delvar::testing {

SimLink::SimLink(Transport transport, std::vector<std::string> args) {
    SimOptions options;
    options.tcp = transport == Transport::Tcp;
    options.pty = transport == Transport::Pty;
    options.extraArgs = std::move(args);
    sim_ = std::make_unique<SimProcess>(DELVAR_SIM_PATH, options);
    link_ = std::make_unique<link::Link>(link::LinkPorts{serial_, tcp_, usb_, pump_, clock_});
    auto& settings = link_->Settings();
    if (transport == Transport::Tcp) {
        settings.Type = link::kPortTcp;
        settings.EAddress = "127.0.0.1";
        settings.EPort = std::to_string(sim_->tcpPort());
    } else {
        settings.Type = link::kPortRs232;
        settings.RS232Port = 1;
        settings.RS232Baud = 0;  // 19200
        serial_.port.SetDevicePath(1, sim_->ptyPath());
    }
    opened_ = link_->OpenSelectedPort();
}

bool SimLink::Connect() {
    ScriptedDialogs dialogs;
    link::NoWindowHost window;
    return link::ConnectInstrument(*link_, dialogs, window, "Delvar Comm");
}

}  // namespace delvar::testing
