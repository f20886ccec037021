// The logic builder's test bench: a fresh setup, scripted dialogs and the simulator's
// instrument on an in-memory link (4 channels, on line). `script` may answer a command
// in the instrument's place; it counts every command sent.
#pragma once

#include <functional>
#include <map>
#include <optional>

#include "commands/CommandRig.h"
#include "editors/EditorContext.h"
#include "sim/Responder.h"

namespace delvar::testing {

struct LogicRig : CommandRig {
    sim::Responder instrument{sim::InstrumentModel{}};
    setup::NoProgress progress;
    editors::EditorContext context{link, *setup, dialogs, progress};
    std::map<std::string, int> count;  // times each command was sent
    std::function<std::optional<Answer>(const std::string&)> script;

    LogicRig() {
        link.MutableInfo().Online = true;
        respond = [this](const std::string& command) {
            ++count[command];
            if (script)
                if (auto answer = script(command)) return *answer;
            const sim::Reply reply = instrument.Respond(command);
            return Answer{reply.status, reply.data};
        };
    }
    // The statement as the instrument holds it: "name|terms|then".
    std::string Held(int n) {
        const sim::SetupStore& store = instrument.Store();
        return store.Text(sim::RecordKind::Logic, n, 1) + "|" +
               store.Text(sim::RecordKind::Logic, n, 2) + "|" +
               std::to_string(store.Number(sim::RecordKind::Logic, n, 3));
    }
};

}  // namespace delvar::testing
