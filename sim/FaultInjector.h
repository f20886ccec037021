// Deterministic fault injection: which command goes unanswered, which reply is
// damaged, noisy or split, and when the connection is dropped.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace delvar::sim {

enum class FailureMode { SilentEvery, CorruptEvery, DamageEvery, GarbageEvery, Split, DropAfter };

struct FaultOptions {
    int silentEvery = 0;   // every N-th command gets no reply
    int corruptEvery = 0;  // every N-th reply has wrong check bytes
    int damageEvery = 0;   // every N-th command is taken as received damaged ("F")
    int garbageEvery = 0;  // every N-th reply follows 1..8 noise bytes
    bool split = false;    // replies go out in 2..4 chunks, 1..5 ms apart
    int dropAfter = 0;     // the connection closes after the N-th reply
    std::uint32_t seed = 1;
};

struct Chunk {
    std::vector<std::uint8_t> bytes;
    int delayMs = 0;  // pause before this chunk
};

// What to do with one reply.
struct ReplyPlan {
    std::vector<Chunk> chunks;  // empty: no reply
    bool dropAfter = false;
};

class FaultInjector {
  public:
    explicit FaultInjector(FaultOptions options) : options_(options), random_(options.seed) {}

    // Counted over the program's life, across connections.
    bool SilenceCommand();  // call once per command
    bool DamageCommand();   // call once per answered command
    ReplyPlan Plan(std::vector<std::uint8_t> frame);

  private:
    static bool Every(int n, int count) { return n > 0 && count % n == 0; }
    int Uniform(int low, int high);

    FaultOptions options_;
    std::mt19937 random_;
    int commands_ = 0;
    int answered_ = 0;
    int replies_ = 0;
};

}  // namespace delvar::sim
