#include "sim/SetupStore.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace delvar::sim {

namespace {

constexpr std::string_view kNoAssignment = "0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0";

struct MaterialDefault {
    std::string_view name;
    long density;  // 0.01 g/cm3
    long zFactor;  // thousandths
};
constexpr std::array kMaterials{
    MaterialDefault{"Aluminum", 270, 1080}, MaterialDefault{"Gold", 1930, 381},
    MaterialDefault{"Silver", 1049, 529},   MaterialDefault{"Copper", 893, 437},
    MaterialDefault{"Chromium", 720, 305},  MaterialDefault{"Titanium", 450, 628},
    MaterialDefault{"SiO2", 265, 1000},     MaterialDefault{"Nickel", 891, 331},
};

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string_view TrimRight(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

}  // namespace

std::optional<long> ParseWireNumber(std::string_view text) {
    text = Trim(text);
    if (text.empty() || text.size() > 24) return std::nullopt;
    std::size_t at = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    bool digits = false, point = false;
    for (std::size_t i = at; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            digits = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    const double value = std::strtod(std::string(text).c_str(), nullptr);
    if (!std::isfinite(value) || std::fabs(value) > 2e9) return std::nullopt;
    return std::lround(value);
}

SetupStore::SetupStore() {
    for (int k = 0; k <= static_cast<int>(RecordKind::System); ++k) {
        const RecordSchema& schema = SchemaOf(static_cast<RecordKind>(k));
        Record blank;
        for (const ParamSpec& p : schema.params) blank.push_back({p.defaultValue, ""});
        tables_.emplace_back(schema.count, blank);
    }
    for (int i = 1; i <= 99; ++i) Set(RecordKind::Process, i, 1, "Process " + std::to_string(i));
    for (int i = 1; i <= 50; ++i) Set(RecordKind::Film, i, 101, "Film " + std::to_string(i));
    for (int i = 1; i <= 100; ++i) {
        const std::size_t k = std::size_t(i - 1);
        if (k < kMaterials.size()) {
            Set(RecordKind::Material, i, 1, kMaterials[k].name);
            Set(RecordKind::Material, i, 2, std::to_string(kMaterials[k].density));
            Set(RecordKind::Material, i, 3, std::to_string(kMaterials[k].zFactor));
        } else {
            Set(RecordKind::Material, i, 1, "Material " + std::to_string(i));
        }
    }
    // Names without blanks: the program cuts input and relay names at a blank.
    for (int i = 1; i <= 16; ++i) {
        Set(RecordKind::Input, i, 1, "Input" + std::to_string(i));
        Set(RecordKind::Relay, i, 1, "Relay" + std::to_string(i));
    }
    for (RecordKind kind : {RecordKind::SensorIo, RecordKind::SourceIo}) {
        for (int i = 1; i <= 4; ++i) {
            for (int param : {1, 2}) Set(kind, i, param, kNoAssignment);
        }
    }
    for (int i = 1; i <= 32; ++i) Set(RecordKind::Logic, i, 2, "0");
    Set(RecordKind::Process, 1, 2, "1");
    Set(RecordKind::Process, 1, 3, "1");
    Set(RecordKind::Process, 1, 4, "1");
    Set(RecordKind::Layer, 1, 21, "1");
}

bool SetupStore::HasRecord(RecordKind kind, int index) const {
    return index >= 1 && index <= SchemaOf(kind).count;
}

const SetupStore::Value* SetupStore::Find(RecordKind kind, int index, int param) const {
    if (!HasRecord(kind, index)) return nullptr;
    const auto params = SchemaOf(kind).params;
    for (std::size_t slot = 0; slot < params.size(); ++slot) {
        if (params[slot].number == param) return &tables_[static_cast<int>(kind)][index - 1][slot];
    }
    return nullptr;
}

std::optional<std::string> SetupStore::Get(RecordKind kind, int index, int param) const {
    const Value* value = Find(kind, index, param);
    if (!value) return std::nullopt;
    if (FindParam(kind, param)->type == ValueType::Text) return value->text;
    return std::to_string(value->number);
}

long SetupStore::Number(RecordKind kind, int index, int param) const {
    const Value* value = Find(kind, index, param);
    return value ? value->number : 0;
}

std::string SetupStore::Text(RecordKind kind, int index, int param) const {
    const Value* value = Find(kind, index, param);
    return value ? value->text : std::string();
}

StoreResult SetupStore::Parse(RecordKind kind, int index, int param, std::string_view text,
                              Value& out) const {
    if (!HasRecord(kind, index)) return StoreResult::NoRecord;
    const auto spec = FindParam(kind, param);
    if (!spec) return StoreResult::NoParam;
    if (spec->type == ValueType::Number) {
        const auto number = ParseWireNumber(text);
        if (!number || *number < spec->min || *number > spec->max) return StoreResult::BadValue;
        out.number = *number;
        return StoreResult::Ok;
    }
    std::string_view kept = TrimRight(text);
    // Input, relay and statement names end at their first blank.
    if (param == 1 &&
        (kind == RecordKind::Input || kind == RecordKind::Relay || kind == RecordKind::Logic))
        kept = kept.substr(0, kept.find(' '));
    if (long(kept.size()) > spec->max) return StoreResult::BadValue;
    for (unsigned char ch : kept) {
        // A comma would split the item on the way back out.
        if (ch < 32 || ch >= 127 || ch == ',') return StoreResult::BadValue;
    }
    out.text = std::string(kept);
    return StoreResult::Ok;
}

StoreResult SetupStore::Check(RecordKind kind, int index, int param, std::string_view value) const {
    Value scratch;
    return Parse(kind, index, param, value, scratch);
}

StoreResult SetupStore::Set(RecordKind kind, int index, int param, std::string_view value) {
    Value parsed;
    const StoreResult result = Parse(kind, index, param, value, parsed);
    if (result != StoreResult::Ok) return result;
    Value& slot = const_cast<Value&>(*Find(kind, index, param));
    if (FindParam(kind, param)->type == ValueType::Text) {
        slot.text = std::move(parsed.text);
    } else {
        slot.number = parsed.number;
    }
    return StoreResult::Ok;
}

}  // namespace delvar::sim
