// What the setup window shares with the editors it opens: the link, the setup in
// memory, the dialogs and the progress window, and which process, layer and film
// are current (the layer and film editors edit the records these point at).
#pragma once

#include "core/DialogService.h"
#include "link/Link.h"
#include "setup/Progress.h"
#include "setup/SetupData.h"

namespace delvar::editors {

struct EditorContext {
    link::Link& link;
    setup::SetupData& setup;
    core::DialogService& dialogs;
    setup::ProgressDisplay& progress;
    int currentProcess = 1;  // 1..99
    int currentLayer = 0;    // 1..999, 0: none
    int currentFilm = 1;     // 1..50
};

}  // namespace delvar::editors
