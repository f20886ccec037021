// What the instrument sends back for one command: a status character and data.
#pragma once

#include <string>

namespace delvar::sim {

struct Reply {
    char status = 'A';
    std::string data;
    bool operator==(const Reply&) const = default;
};

// The status characters the instrument answers with.
inline constexpr char kOk = 'A';
inline constexpr char kNotReady = 'B';
inline constexpr char kBadCommand = 'C';
inline constexpr char kBadData = 'D';
inline constexpr char kBadMode = 'E';
inline constexpr char kTransmitError = 'F';
inline constexpr char kTooLong = 'G';

}  // namespace delvar::sim
