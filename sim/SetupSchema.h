// The instrument's setup as parameter tables: for every record kind the parameter
// numbers its command carries, whether each is a text or a wire integer, its
// default and the range the instrument accepts. Values are wire units throughout.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace delvar::sim {

enum class RecordKind {
    Process,   // C
    Layer,     // D
    Film,      // A1..A5, parameter code group * 100 + number
    Material,  // F
    Sensor,    // HA
    Source,    // HB
    SensorIo,  // HE
    SourceIo,  // HF
    Input,     // GA
    Relay,     // GB
    Logic,     // I
    System,    // B (one record, index 1)
};

enum class ValueType { Number, Text };

struct ParamSpec {
    int number;
    ValueType type;
    long defaultValue;  // numbers only
    long min;           // numbers: accepted range; texts: min and max length
    long max;
};

struct RecordSchema {
    RecordKind kind;
    int count;  // records 1..count
    std::span<const ParamSpec> params;
};

// The schema of a record kind.
const RecordSchema& SchemaOf(RecordKind kind);
// The parameter of a kind by its number; nothing when the kind has no such number.
std::optional<ParamSpec> FindParam(RecordKind kind, int number);

// Longest name the instrument keeps.
inline constexpr long kNameLength = 16;

}  // namespace delvar::sim
