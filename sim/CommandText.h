// Taking apart the instrument's record command texts: "<index>? p p …" reads and
// "<index> p,value p,value …" writes, after the command letters.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/SetupSchema.h"

namespace delvar::sim {

struct RecordRequest {
    int index = 0;
    bool query = false;
    std::string_view body;  // after the "?" or the blank following the index
};

// "<digits>?…" or "<digits> …"; nothing for any other shape.
std::optional<RecordRequest> ParseRecordRequest(std::string_view rest);

// Blank-separated parameter numbers; nothing when one is not a number or none is given.
std::optional<std::vector<int>> ParseParamList(std::string_view body);

using Item = std::pair<int, std::string>;

// p,value items. The value of a text parameter of kind runs to the next " p," (a
// 16-character name as it is sent may hold blanks); a number ends at the next blank.
// textOffset is added to p to find the parameter in the kind's table (film groups).
std::optional<std::vector<Item>> ParseItems(std::string_view body, RecordKind kind,
                                            int textOffset = 0);

// Joins items as "p,value p,value".
std::string JoinItems(const std::vector<Item>& items);

}  // namespace delvar::sim
