// Window event handlers run as named procedures of the error handler: the name is on
// its stack while the handler runs, and an error the handler raises is reported under
// that name. The handler then ends and the window goes on, as after any reported error.
#pragma once

#include <string>
#include <utility>

#include "core/CErrHandler.h"

namespace delvar::editors {

// Runs body as procedure name. Without an error handler (tools and tests without
// one) the body runs as it is and its errors go to the caller.
template <typename Body>
void RunProcedure(core::CErrHandler* errors, const std::string& name, Body&& body) {
    if (!errors) {
        std::forward<Body>(body)();
        return;
    }
    core::ProcGuard guard(*errors, name);
    try {
        std::forward<Body>(body)();
    } catch (...) {
        errors->HandleError(core::ErrorInfo::FromCurrentException());
    }
}

}  // namespace delvar::editors
