#include "sim/Responder.h"

namespace delvar::sim {

std::string Responder::VersionText() const {
    return std::string("DELVAR") + (model_.codep ? "C" : " ") + " Ver " + model_.firmware;
}

Reply Responder::Respond(const std::string& command) const {
    if (command == "@") return {'A', VersionText()};
    if (command == "J") return {'A', std::to_string(model_.channels)};
    return {'C', ""};  // bad command
}

}  // namespace delvar::sim
