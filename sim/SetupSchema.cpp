#include "sim/SetupSchema.h"

#include <algorithm>
#include <array>

namespace delvar::sim {

namespace {

constexpr ParamSpec N(int number, long def, long min, long max) {
    return {number, ValueType::Number, def, min, max};
}
constexpr ParamSpec T(int number, long maxLength = kNameLength) {
    return {number, ValueType::Text, 0, 0, maxLength};
}

// Assignment strings: 16 numbers of up to 3 digits joined by ":".
constexpr long kAssignmentLength = 16 * 4 - 1;
constexpr long kMaxThick = 999999;  // 999.999 kA in thousandths
constexpr long kMaxSeconds = 359999;

constexpr std::array kProcess{T(1), N(2, 0, 0, 999), N(3, -1, -1, 999), N(4, 0, 0, 999)};

constexpr std::array kLayer{
    N(1, 100, 0, 9999),
    N(2, 1000, 0, kMaxThick),
    N(3, 0, 0, kMaxSeconds),
    N(4, 0, 0, kMaxThick),
    N(5, 0, 0, 1),
    N(6, 1, 1, 4),
    N(7, 900, 0, 1000),
    N(8, 100, 0, 1000),
    N(9, 1, -1, 1),
    N(10, 0, -1, 1),
    N(11, 0, -1, 1),
    N(12, 0, -1, 1),
    N(13, 0, 0, 1),
    N(14, 0, 0, kMaxThick),
    N(15, 0, 0, 9999),
    N(16, 0, 0, kMaxSeconds),
    N(17, 0, 0, 1),
    N(18, 0, 0, kMaxThick),
    N(19, 0, 0, 9999),
    N(20, 0, 0, kMaxSeconds),
    N(21, -1, -1, 50),
    N(22, -1, -1, 999),
    N(23, -1, -1, 999),
    N(24, 0, 0, 1),
    N(25, 0, 0, 1000),
    N(26, 0, 0, 9999),
    N(27, 50, 0, 9999),
    N(28, 100, 0, 9999),
    N(29, 200, 0, 9999),
    N(30, 0, 0, 1),
    N(31, 0, 0, kMaxThick),
    N(32, 0, 0, 9999),
    N(33, 0, 0, kMaxSeconds),
    N(34, 1000, 0, 99999),
    N(35, 10, 0, 99999),
    N(36, 0, 0, 1),
    N(37, 0, 0, kMaxThick),
    N(38, 0, 0, 9999),
    N(39, 0, 0, kMaxSeconds),
};

// Film codes are group * 100 + number (A1 = name, A2 control, A3 preconditioning,
// A4 shutter and sampling, A5 crystal failure per sensor).
constexpr std::array kFilm{
    T(101),
    N(201, 25, 0, 999),
    N(202, 10, 0, 9999),
    N(203, 0, 0, 9999),
    N(204, 1, 1, 100),
    N(205, 0, 0, 15),
    N(206, 100, 10, 399),
    N(207, 0, 0, 99),
    N(208, 0, 0, 9999),
    N(210, 0, 0, 99),
    N(211, 0, 0, 9999),
    N(301, 200, 0, 1000),
    N(302, 5, 0, 9999),
    N(303, 5, 0, 9999),
    N(304, 300, 0, 1000),
    N(305, 5, 0, 9999),
    N(306, 5, 0, 9999),
    N(307, 0, 0, 1000),
    N(308, 0, 0, 9999),
    N(309, 0, 0, 1000),
    N(310, 0, 0, 9999),
    N(311, 0, 0, 9999),
    N(401, 10, 0, 9999),
    N(402, 50, 0, 1000),
    N(403, 0, 0, 9),
    N(404, 100, 0, 1000),
    N(405, 0, 0, 2),
    N(406, 50, 0, 1000),
    N(407, 0, 0, 9999),
    N(408, 0, 0, 9999),
    N(409, 0, 0, 9999),
    N(501, 0, 0, 9),
    N(502, 1, 0, 16),
    N(503, 0, 0, 4),
    N(504, 0, 0, 16),
    N(505, 0, 0, 9),
    N(506, 1, 0, 16),
    N(507, 0, 0, 4),
    N(508, 0, 0, 16),
    N(509, 0, 0, 9),
    N(510, 1, 0, 16),
    N(511, 0, 0, 4),
    N(512, 0, 0, 16),
    N(513, 0, 0, 9),
    N(514, 1, 0, 16),
    N(515, 0, 0, 4),
    N(516, 0, 0, 16),
};

// Density in 0.01 g/cm3 (0.4 up to below 100), Z-factor in thousandths (0.1 to below 10).
constexpr std::array kMaterial{T(1), N(2, 270, 40, 9999), N(3, 1080, 100, 9999)};

constexpr std::array kSensor{
    N(1, 100, 0, 399), N(2, 1, 0, 16), N(3, 1, 0, 2),    N(4, 0, 0, 99999), N(5, 0, 0, 9),
    N(6, 0, 0, 9),     N(7, 0, 0, 9),  N(8, 0, 0, 9999), N(9, 1, 0, 16),
};
// A source carries its voltage scale (tenths of a volt, -10 to 10 V) as parameter 1.
constexpr std::array kSource{
    N(1, 100, -100, 100), N(2, 1, 0, 16), N(3, 1, 0, 2),    N(4, 0, 0, 99999), N(5, 0, 0, 9),
    N(6, 0, 0, 9),        N(7, 0, 0, 9),  N(8, 0, 0, 9999), N(9, 1, 0, 16),
};
constexpr std::array kIoAssignment{T(1, kAssignmentLength), T(2, kAssignmentLength)};

constexpr std::array kInput{T(1), N(2, 0, 0, 1), N(3, 0, 0, 16), N(4, 0, 0, 99), N(5, 0, 0, 9)};
constexpr std::array kRelay{T(1),           N(2, 0, 0, 1),  N(3, 0, 0, 2), N(4, 100, 0, 99999),
                            N(5, 0, 0, 16), N(6, 0, 0, 99), N(7, 0, 0, 9)};

// Parameter 2 holds the IF terms as text ("101:3:205"); 4 (validity) is worked out
// by the logic handler and 5 is unused.
constexpr long kMaxTermsText = 16 * 11;
constexpr std::array kLogic{T(1), T(2, kMaxTermsText), N(3, 0, 0, 99999), N(5, 0, 0, 0),
                            N(6, 0, 0, 1)};

// Parameter 17 is the deviation graph's scale itself (the program offers 5 to 50); 0 is
// what a blank setup holds.
constexpr std::array kSystem{
    N(1, 25, 1, 9999),   N(2, 100, 10, 399),  N(3, 100, 10, 399),  N(4, 100, 10, 399),
    N(5, 1, 0, 1),       N(6, 50, 10, 99),    N(7, 61, 10, 99),    N(8, 100, 0, 1000),
    N(9, 100, 0, 1000),  N(10, 100, 0, 1000), N(11, 100, 0, 1000), N(12, 100, 10, 399),
    N(13, 100, 10, 399), N(14, 1, 0, 1),      N(15, 1, 0, 1),      N(16, 1, 0, 1),
    N(17, 10, 0, 50),    N(18, 0, 0, 1),      N(19, 0, 0, 9999),   N(20, 100, 10, 99900),
};

constexpr std::array kSchemas{
    RecordSchema{RecordKind::Process, 99, kProcess},
    RecordSchema{RecordKind::Layer, 999, kLayer},
    RecordSchema{RecordKind::Film, 50, kFilm},
    RecordSchema{RecordKind::Material, 100, kMaterial},
    RecordSchema{RecordKind::Sensor, 4, kSensor},
    RecordSchema{RecordKind::Source, 4, kSource},
    RecordSchema{RecordKind::SensorIo, 4, kIoAssignment},
    RecordSchema{RecordKind::SourceIo, 4, kIoAssignment},
    RecordSchema{RecordKind::Input, 16, kInput},
    RecordSchema{RecordKind::Relay, 16, kRelay},
    RecordSchema{RecordKind::Logic, 32, kLogic},
    RecordSchema{RecordKind::System, 1, kSystem},
};

constexpr bool SchemasFollowTheKinds() {
    for (std::size_t i = 0; i < kSchemas.size(); ++i) {
        if (static_cast<std::size_t>(kSchemas[i].kind) != i) return false;
    }
    return true;
}
static_assert(SchemasFollowTheKinds(), "kSchemas is indexed by RecordKind");

}  // namespace

const RecordSchema& SchemaOf(RecordKind kind) {
    return kSchemas[static_cast<std::size_t>(kind)];
}

std::optional<ParamSpec> FindParam(RecordKind kind, int number) {
    const auto params = SchemaOf(kind).params;
    const auto it = std::find_if(params.begin(), params.end(),
                                 [number](const ParamSpec& p) { return p.number == number; });
    if (it == params.end()) return std::nullopt;
    return *it;
}

}  // namespace delvar::sim
