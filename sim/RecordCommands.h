// The setup record commands (C, D, A1-A5, F, B, HA/HB, HE/HF, GA/GB) as one table of
// shapes over the setup store: which record kind a command reaches, how its index is
// written and how a read is answered.
#pragma once

#include <string_view>

#include "sim/Reply.h"
#include "sim/SetupStore.h"

namespace delvar::sim {

enum class ReadShape {
    Items,      // "p,value p,value"
    BareValue,  // one parameter: the value alone (several: items)
};

struct RecordCommand {
    std::string_view letters;
    RecordKind kind;
    int paramOffset = 0;            // added to the wire number to find the parameter (films)
    bool blankBeforeIndex = false;  // "A2 5? …": the A commands put a blank before the index
    bool hasIndex = true;           // B has no index: "B? …" and "B …"
    ReadShape shape = ReadShape::Items;
    bool nameOnly = false;  // A1: "A1 5?" reads the name, "A1 5 name" writes it
};

// The record command whose letters start the text, longest letters first.
const RecordCommand* FindRecordCommand(std::string_view text);

struct RecordContext {
    SetupStore& store;
    int channels = 4;
    bool running = false;  // a process runs: setup writes are refused with Bad Mode
};

// Answers a record command: "?" reads, anything else writes. A write checks every item
// before it stores any, so a refused write changes nothing.
Reply HandleRecordCommand(const RecordCommand& command, std::string_view rest,
                          RecordContext context);

}  // namespace delvar::sim
