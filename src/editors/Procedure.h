// An editor's event handler run under its procedure name on the error handler: an
// error raised inside is reported under that name and ends the handler, and the window
// goes on. Without an error handler (the logic on its own) the handler simply runs.
#pragma once

#include <string>
#include <utility>

#include "core/CErrHandler.h"

namespace delvar::editors {

// True when the handler ran to its end, false when an error ended it.
template <typename Body>
bool RunProcedure(core::CErrHandler* errors, const std::string& name, Body&& body) {
    if (!errors) {
        std::forward<Body>(body)();
        return true;
    }
    const core::ProcGuard guard(*errors, name);
    try {
        std::forward<Body>(body)();
        return true;
    } catch (...) {
        errors->HandleError(core::ErrorInfo::FromCurrentException());
        return false;
    }
}

}  // namespace delvar::editors
