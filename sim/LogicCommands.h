// The logic statement command I: reads with the worked-out validity (parameter 4),
// and writes refused with Bad Data and the reply 0, 1 or 2 when the name, the IF
// condition or the THEN action is not acceptable.
#pragma once

#include <string_view>

#include "sim/Reply.h"
#include "sim/SetupStore.h"

namespace delvar::sim {

// rest is the text after the "I".
Reply HandleLogicCommand(std::string_view rest, SetupStore& store, bool running);

}  // namespace delvar::sim
