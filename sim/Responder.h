// Answers command texts the way the instrument does: a status character and data.
// It holds the instrument's setup, its process runner and its digital I/O. It holds
// no clock: simulated time is moved forward from outside through AdvanceTo().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sim/DigitalIo.h"
#include "sim/ProcessRunner.h"
#include "sim/Reply.h"
#include "sim/SetupStore.h"

namespace delvar::sim {

struct InstrumentModel {
    std::string firmware = "6.30";
    int channels = 4;  // source outputs: 1, 2 or 4
    bool codep = false;
};

class Responder {
  public:
    explicit Responder(InstrumentModel model, std::uint32_t seed = 1);
    Responder(const Responder&) = delete;
    Responder& operator=(const Responder&) = delete;

    Reply Respond(std::string_view command);
    // Moves simulated time to seconds since start; earlier times change nothing.
    void AdvanceTo(double seconds);

    // The text "@" answers with: the 7th character is "C" on the CoDep model, and the
    // firmware number ends it after a space.
    std::string VersionText() const;
    SetupStore& Store() { return store_; }
    const ProcessRunner& Runner() const { return runner_; }

  private:
    Reply Status() const;
    Reply OutputReadings() const;
    Reply SensorReadings() const;
    Reply RunCommand(std::string_view rest);
    Reply PowerCommand(std::string_view rest);
    Reply SelectCommand(std::string_view rest);
    Reply IoCounts(std::string_view rest);

    InstrumentModel model_;
    SetupStore store_;
    ProcessRunner runner_;
    DigitalIo io_;
    double now_ = 0;
    bool transfer_ = false;  // between XSTART and XSTOP: the run commands are refused
};

}  // namespace delvar::sim
