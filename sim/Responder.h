// Answers command texts the way the instrument does: a status character and data.
// It holds no clock: anything time-dependent is stepped from outside.
#pragma once

#include <string>
#include <utility>

namespace delvar::sim {

struct InstrumentModel {
    std::string firmware = "6.30";
    int channels = 4;  // source outputs: 1, 2 or 4
    bool codep = false;
};

struct Reply {
    char status = 'A';
    std::string data;
    bool operator==(const Reply&) const = default;
};

class Responder {
  public:
    explicit Responder(InstrumentModel model) : model_(std::move(model)) {}
    Reply Respond(const std::string& command) const;
    // The text "@" answers with: the 7th character is "C" on the CoDep model, and the
    // firmware number ends it after a space.
    std::string VersionText() const;

  private:
    InstrumentModel model_;
};

}  // namespace delvar::sim
