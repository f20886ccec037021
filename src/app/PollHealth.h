// How the main window's poll fares and recovers: ticks in a row without a reading (a
// few of them are taken as a lost instrument), when to look for a lost instrument
// again, a damaged reply to a poll query asked again, and a quiet look for the instrument.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "link/Link.h"

namespace delvar::app {

// Off line after having been on line: the connect is tried again this often.
inline constexpr int kRetryPeriodMs = 5000;
// Ticks in a row without a reading that are taken as a lost instrument.
inline constexpr int kFailedTicksForReconnect = 3;

class PollHealth {
  public:
    // Only when the operator chose to connect at start is a lost instrument looked for.
    void AllowSearch(bool allowed) { searchAllowed_ = allowed; }
    // Connected: failures are forgotten, and a later loss is looked for.
    void OnLine();
    // Gone off line: the next attempt comes after kRetryPeriodMs of poll time.
    void OffLine() { sinceAttemptMs_ = 0; }
    // The instrument answered but its connect failed (and said why): no attempts
    // until the operator has been to the communications window.
    void PauseSearch() { paused_ = true; }
    void ResumeSearch() { paused_ = false; }
    bool Searching(bool online) const {
        return searchAllowed_ && beenOnline_ && !paused_ && !online;
    }
    // One off-line tick of periodMs; true when an attempt is due.
    bool AttemptDue(int periodMs);
    // A time-out, or too many ticks in a row without a reading.
    bool ReconnectDue(int commStatus) const;

    // Counts a polled tick that did or did not produce a reading (commStatus: the
    // link's status after it). Returns the status-bar text when it changes: the last
    // status and the ticks lost while ticks fail, "" when readings are back.
    std::optional<std::string> CountTick(bool reading, int commStatus);
    void ForgetFailures() { failedTicks_ = 0; }

    std::uint64_t PollTicks() const { return pollTicks_; }
    std::uint64_t ReadingTicks() const { return readingTicks_; }

  private:
    bool searchAllowed_ = false;
    bool beenOnline_ = false;
    bool paused_ = false;
    int sinceAttemptMs_ = 0;
    int failedTicks_ = 0;
    std::uint64_t pollTicks_ = 0, readingTicks_ = 0;
};

// A read-only query (V, K1, K2, @) whose reply arrived damaged (status 7 or 11) is
// asked once more at once: repeating it changes nothing on the instrument, and one
// noisy reply then costs no sample. Operating commands never come here.
template <typename Query>
auto AskAgainIfDamaged(link::Link& link, Query query) {
    auto result = query();
    if (link.CommStatus() == link::kReceiveCrcError || link.CommStatus() == link::kTransmitCrcError)
        result = query();
    return result;
}

// Opens the selected port and asks for the version, with no message when nothing
// answers; other exchanges and connects are kept out meanwhile. True when the
// instrument answered.
bool InstrumentAnswers(link::Link& link);

}  // namespace delvar::app
