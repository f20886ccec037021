// The simulated instrument's whole setup: every record of every kind, each a row of
// wire values (integers or texts) laid out by the parameter tables of SetupSchema.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/SetupSchema.h"

namespace delvar::sim {

enum class StoreResult { Ok, NoRecord, NoParam, BadValue };

class SetupStore {
  public:
    // Every record at its default; process 1 holds one layer (layer 1, film 1).
    SetupStore();

    bool HasRecord(RecordKind kind, int index) const;
    // The wire text of a parameter: the decimal integer or the stored text.
    std::optional<std::string> Get(RecordKind kind, int index, int param) const;
    // A number parameter's value; 0 for an unknown record or parameter.
    long Number(RecordKind kind, int index, int param) const;
    // A text parameter's value; empty for an unknown record or parameter.
    std::string Text(RecordKind kind, int index, int param) const;

    // Checks a value as the instrument would and stores it. Numbers may carry a
    // fraction (rounded); texts lose trailing blanks and must fit and be printable.
    StoreResult Set(RecordKind kind, int index, int param, std::string_view value);
    // Checks a value without storing it.
    StoreResult Check(RecordKind kind, int index, int param, std::string_view value) const;

  private:
    struct Value {
        long number = 0;
        std::string text;
    };
    using Record = std::vector<Value>;  // one value per schema parameter, in table order

    const Value* Find(RecordKind kind, int index, int param) const;
    StoreResult Parse(RecordKind kind, int index, int param, std::string_view text,
                      Value& out) const;

    std::vector<std::vector<Record>> tables_;  // by RecordKind, then index - 1
};

// Parses a wire number: optional sign, digits, optional fraction; rounded half away
// from zero. Nothing for anything else (blanks around it excepted).
std::optional<long> ParseWireNumber(std::string_view text);

}  // namespace delvar::sim
