// Deterministic fault injection: which command goes unanswered or is taken as
// damaged, which reply is corrupted, noisy or split, and when the line is dropped.
// Every count runs over the program's life, across connections and endpoints.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

namespace delvar::sim {

enum class FailureMode : std::size_t { Silent, Corrupt, Damage, Garbage, Split, Drop };

struct FailureModeInfo {
    FailureMode mode;
    std::string_view option;  // command-line option that switches it on
    bool takesCount;          // the option takes N; otherwise it is a plain switch
    std::string_view help;
};

inline constexpr std::array kFailureModes{
    FailureModeInfo{FailureMode::Silent, "--silent-every", true,
                    "every N-th command gets no reply at all"},
    FailureModeInfo{FailureMode::Corrupt, "--corrupt-every", true,
                    "every N-th reply has wrong (but plausible) check bytes"},
    FailureModeInfo{FailureMode::Damage, "--damage-every", true,
                    "every N-th answered command is taken as received damaged (\"F\")"},
    FailureModeInfo{FailureMode::Garbage, "--garbage-every", true,
                    "every N-th reply follows 1-8 noise bytes"},
    FailureModeInfo{FailureMode::Split, "--split", false,
                    "replies go out in 2-4 chunks, 1-5 ms apart"},
    FailureModeInfo{FailureMode::Drop, "--drop-after", true,
                    "the TCP connection closes after the N-th reply (a pty goes quiet)"},
};

struct FaultOptions {
    // N of each mode by FailureMode; 1 switches --split on; 0 leaves a mode off.
    std::array<int, kFailureModes.size()> counts{};
    std::uint32_t seed = 1;

    int operator[](FailureMode mode) const { return counts[static_cast<std::size_t>(mode)]; }
    int& operator[](FailureMode mode) { return counts[static_cast<std::size_t>(mode)]; }
};

struct Chunk {
    std::vector<std::uint8_t> bytes;
    int delayMs = 0;  // pause before this chunk
};

// How one reply goes out.
struct ReplyPlan {
    std::vector<Chunk> chunks;  // in order; together they are the bytes to send
    bool dropAfter = false;     // close the connection once the last chunk is out
};

class FaultInjector {
  public:
    explicit FaultInjector(FaultOptions options) : options_(options), random_(options.seed) {}

    bool SilenceCommand();  // call once per received command
    bool DamageCommand();   // call once per command that is answered
    // Applies the reply faults to a whole reply frame.
    ReplyPlan Plan(std::vector<std::uint8_t> frame);

  private:
    bool Every(FailureMode mode, int count) const;
    int Uniform(int low, int high);
    void Corrupt(std::vector<std::uint8_t>& frame) const;
    std::vector<std::uint8_t> Noise();
    std::vector<Chunk> Split(const std::vector<std::uint8_t>& bytes);

    FaultOptions options_;
    std::mt19937 random_;
    int commands_ = 0;
    int answered_ = 0;
    int replies_ = 0;
};

}  // namespace delvar::sim
