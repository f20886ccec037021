#include "app/PollHealth.h"

#include "link/Frame.h"
#include "link/LinkState.h"

namespace delvar::app {

void PollHealth::OnLine() {
    beenOnline_ = true;
    paused_ = false;
    failedTicks_ = 0;
}

bool PollHealth::AttemptDue(int periodMs) {
    sinceAttemptMs_ += periodMs;
    if (sinceAttemptMs_ < kRetryPeriodMs) return false;
    sinceAttemptMs_ = 0;
    return true;
}

bool PollHealth::ReconnectDue(int commStatus) const {
    return commStatus == link::kTimeout || failedTicks_ >= kFailedTicksForReconnect;
}

std::optional<std::string> PollHealth::CountTick(bool reading, int commStatus) {
    ++pollTicks_;
    if (reading) {
        ++readingTicks_;
        const bool wasFailing = failedTicks_ > 0;
        failedTicks_ = 0;
        if (wasFailing) return std::string();
        return std::nullopt;
    }
    ++failedTicks_;
    return link::StatusText(commStatus) + " (" + std::to_string(failedTicks_) +
           (failedTicks_ == 1 ? " tick" : " ticks") + " without readings)";
}

bool InstrumentAnswers(link::Link& link) {
    auto& state = link.Receive();
    if (state.Connecting) return false;
    state.Connecting = true;
    link.SetCommStatus(link::kBusy);
    const bool portOk = link.OpenSelectedPort();
    link.SetCommStatus(link::kPortOpened);
    bool answered = false;
    if (portOk) {
        AskAgainIfDamaged(link, [&] { return link.SendCommand("@"); });
        answered = link.CommStatus() == link::kOk;
    }
    state.Connecting = false;
    return answered;
}

}  // namespace delvar::app
