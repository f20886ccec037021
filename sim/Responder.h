// Answers command texts the way the instrument does: a status character and data.
#pragma once

#include <string>

namespace delvar::sim {

struct InstrumentModel {
    std::string firmware = "6.30";
    int channels = 4;
    bool codep = false;
};

struct Reply {
    char status = 'A';
    std::string data;
};

class Responder {
  public:
    explicit Responder(InstrumentModel model) : model_(std::move(model)) {}
    Reply Respond(const std::string& command);
    // The text "@" answers with: the 7th character is "C" on the CoDep model, and the
    // firmware number ends it after a space.
    std::string VersionText() const;

  private:
    InstrumentModel model_;
};

}  // namespace delvar::sim
