#include "link/Connect.h"

#include <optional>

#include "util/Text.h"

namespace delvar::link {

namespace {
constexpr double kOldestUsable = 6.0;    // below: the older companion program
constexpr double kNewestRefused = 6.29;  // up to here: must upgrade
constexpr long kMaxOutputs = 4;

void GoOffline(Link& link, ConnectHost& host, const std::string& appTitle) {
    link.MutableInfo().Online = false;
    host.SetTitle(appTitle + " - [Off Line]");
    host.EnableInstrumentMenu(false);
}

void Exclaim(core::DialogService& dialogs, const std::string& text, const std::string& title) {
    dialogs.ShowMessage({text, title, core::MessageIcon::Exclamation, core::MessageButtons::Ok});
}

// No valid answer: off line, with the communications window and its message.
void NotFound(Link& link, core::DialogService& dialogs, ConnectHost& host,
              const std::string& appTitle) {
    GoOffline(link, host, appTitle);
    host.ShowCommWindowOnTop();
    dialogs.ShowMessage({"Instrument not found.\nVerify Comm Port and instrument Baud Rate.",
                         appTitle, core::MessageIcon::None, core::MessageButtons::Ok, true});
    host.ShowCommWindowOnTop();
}

// Holds the connect's marks for as long as it runs and clears them on every way out:
// an error raised by an event handler while the port opens or a reply is awaited must
// not leave every later command refused as busy, nor every later connect as running.
class ConnectingMark {
  public:
    explicit ConnectingMark(Link& link) : link_(link) {
        link_.Receive().Connecting = true;
        link_.SetCommStatus(kBusy);  // exchanges started by events during the port work are refused
    }
    ~ConnectingMark() {
        if (link_.CommStatus() == kBusy) link_.SetCommStatus(kTimeout);
        link_.Receive().PendingCommand.clear();
        link_.Receive().Connecting = false;
    }
    ConnectingMark(const ConnectingMark&) = delete;
    ConnectingMark& operator=(const ConnectingMark&) = delete;

  private:
    Link& link_;
};

// A read-only query of the connect, asked once more at once when its reply came back
// damaged (bad check bytes, or the instrument took the command as damaged): one burst
// of line noise must not turn a start-up into "Instrument not found". Silence is not
// asked again; no answer is an answer of its own.
std::string AskReadOnly(Link& link, const std::string& command) {
    std::string reply = link.SendCommand(command);
    const int status = link.CommStatus();
    if (status == kReceiveCrcError || status == kTransmitCrcError)
        reply = link.SendCommand(command);
    return reply;
}

// The output count from "J", asked twice at most; nothing when neither reply is a
// count the instrument can have. A guessed count would let a download leave out
// outputs or send records for outputs that do not exist.
std::optional<int> AskChannels(Link& link) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::string reply = link.SendCommand("J");
        long channels = 0;
        if (link.CommStatus() == kOk && util::ParseWholeNumber(reply, channels) && channels >= 1 &&
            channels <= kMaxOutputs)
            return static_cast<int>(channels);
    }
    return std::nullopt;
}
}  // namespace

double FirmwareVersion(const std::string& versionText) {
    const std::size_t n = versionText.size();
    if (n >= 5 && versionText[n - 5] == ' ') return util::LeadingNumber(versionText.substr(n - 4));
    return util::LeadingNumber(n >= 3 ? versionText.substr(n - 3) : versionText);
}

bool ConnectInstrument(Link& link, core::DialogService& dialogs, ConnectHost& host,
                       const std::string& appTitle) {
    LinkState& state = link.Receive();
    if (state.Connecting) return false;
    const ConnectingMark connecting(link);
    const std::string interrupted = link.Exchange().LastCommand;
    if (!interrupted.empty() && interrupted != "@") state.PendingCommand = interrupted;

    bool portOk = link.OpenSelectedPort();
    link.SetCommStatus(kPortOpened);

    bool resent = false;
    if (!portOk) {
        GoOffline(link, host, appTitle);
    } else {
        AskReadOnly(link, "@");
        if (link.CommStatus() != kOk) {
            NotFound(link, dialogs, host, appTitle);
        } else {
            const std::string version = link.Info().VersionText;
            const double v = FirmwareVersion(version);
            if (v < kOldestUsable) {
                Exclaim(dialogs,
                        "Delvar firmware version " + version +
                            " cannot be used with this Comm software.\n\nUse Pellan Comm Version "
                            "1.XX.",
                        appTitle);
                GoOffline(link, host, appTitle);
            } else if (v <= kNewestRefused) {
                Exclaim(dialogs,
                        "You must upgrade the Delvar to version 6.30 or later\nfor use with this "
                        "Comm software.",
                        appTitle);
                GoOffline(link, host, appTitle);
            } else if (const std::optional<int> channels = AskChannels(link); !channels) {
                NotFound(link, dialogs, host, appTitle);
            } else {
                link.MutableInfo().ChannelCount = *channels;
                link.MutableInfo().Online = true;
                host.SetTitle(appTitle + " - [" + util::Trim(version) + "]");
                host.EnableInstrumentMenu(true);
                host.LoadProcesses();
                if (!state.PendingCommand.empty()) {
                    // The interrupted caller resumes its wait after this and finds the
                    // outcome of its own command.
                    link.SendCommand(state.PendingCommand);
                    resent = true;
                }
            }
        }
    }
    if (!state.PendingCommand.empty() && !resent) {
        // Never hand the interrupted caller the reply of "@" or "J".
        link.MutableExchange().ReplyText.clear();
        link.SetCommStatus(kTimeout);
    }
    link.OfflineNoticeShown = link.Info().Online;
    return link.Info().Online;
}

}  // namespace delvar::link
