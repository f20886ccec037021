#include "sim/RecordCommands.h"

#include <array>

#include "sim/CommandText.h"

namespace delvar::sim {

namespace {

using K = RecordKind;
using S = ReadShape;

// Longest letters first, so "HA" is found before a one-letter command could match.
constexpr std::array kRecordCommands{
    RecordCommand{"A1", K::Film, 100, true, true, S::BareValue, true},
    RecordCommand{"A2", K::Film, 200, true},
    RecordCommand{"A3", K::Film, 300, true},
    RecordCommand{"A4", K::Film, 400, true},
    RecordCommand{"A5", K::Film, 500, true},
    RecordCommand{"HA", K::Sensor},
    RecordCommand{"HB", K::Source},
    RecordCommand{"HE", K::SensorIo},
    RecordCommand{"HF", K::SourceIo},
    RecordCommand{"GA", K::Input},
    RecordCommand{"GB", K::Relay},
    RecordCommand{"B", K::System, 0, false, false},
    RecordCommand{"C", K::Process, 0, false, true, S::BareValue},
    RecordCommand{"D", K::Layer},
    RecordCommand{"F", K::Material, 0, false, true, S::BareValue},
};

// The A5 group holds four values per sensor: 16 on a 4-channel instrument, else 8.
bool ParamAvailable(const RecordCommand& command, int param, int channels) {
    if (command.kind == K::Film && command.paramOffset == 500)
        return param <= (channels == 4 ? 16 : 8);
    return true;
}

std::optional<RecordRequest> ParseRequest(const RecordCommand& command, std::string_view rest) {
    if (!command.hasIndex) {
        if (rest.empty()) return std::nullopt;
        if (rest[0] == '?') return RecordRequest{1, true, rest.substr(1)};
        if (rest[0] == ' ') return RecordRequest{1, false, rest.substr(1)};
        return std::nullopt;
    }
    if (command.blankBeforeIndex) {
        if (rest.empty() || rest[0] != ' ') return std::nullopt;
        rest.remove_prefix(1);
    }
    return ParseRecordRequest(rest);
}

Reply Read(const RecordCommand& command, const RecordRequest& request,
           const RecordContext& context) {
    std::vector<int> params;
    if (command.nameOnly) {
        if (request.body.find_first_not_of(' ') != std::string_view::npos) return {kBadCommand, ""};
        params = {1};
    } else {
        auto list = ParseParamList(request.body);
        if (!list) return {kBadCommand, ""};
        params = std::move(*list);
    }
    std::vector<Item> items;
    for (int p : params) {
        const auto value = context.store.Get(command.kind, request.index, p + command.paramOffset);
        if (!value || !ParamAvailable(command, p, context.channels)) return {kBadData, ""};
        items.emplace_back(p, *value);
    }
    if (command.shape == S::BareValue && items.size() == 1) return {kOk, items.front().second};
    return {kOk, JoinItems(items)};
}

Reply Write(const RecordCommand& command, const RecordRequest& request,
            const RecordContext& context) {
    std::vector<Item> items;
    if (command.nameOnly) {
        items.emplace_back(1, std::string(request.body));
    } else {
        auto parsed = ParseItems(request.body, command.kind, command.paramOffset);
        if (!parsed) return {kBadCommand, ""};
        items = std::move(*parsed);
    }
    if (context.running) return {kBadMode, ""};
    for (const auto& [p, value] : items) {
        if (!ParamAvailable(command, p, context.channels) ||
            context.store.Check(command.kind, request.index, p + command.paramOffset, value) !=
                StoreResult::Ok)
            return {kBadData, ""};
    }
    for (const auto& [p, value] : items)
        context.store.Set(command.kind, request.index, p + command.paramOffset, value);
    return {kOk, ""};
}

}  // namespace

const RecordCommand* FindRecordCommand(std::string_view text) {
    for (const RecordCommand& command : kRecordCommands) {
        if (text.starts_with(command.letters)) return &command;
    }
    return nullptr;
}

Reply HandleRecordCommand(const RecordCommand& command, std::string_view rest,
                          RecordContext context) {
    const auto request = ParseRequest(command, rest);
    if (!request) return {kBadCommand, ""};
    if (!context.store.HasRecord(command.kind, request->index)) return {kBadData, ""};
    return request->query ? Read(command, *request, context) : Write(command, *request, context);
}

}  // namespace delvar::sim
