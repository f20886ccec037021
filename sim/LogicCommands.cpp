#include "sim/LogicCommands.h"

#include "sim/CommandText.h"
#include "sim/LogicRules.h"

namespace delvar::sim {

namespace {

constexpr int kName = 1, kTerms = 2, kThen = 3, kValid = 4, kUnused = 5, kDefined = 6;

std::string JoinTerms(const std::vector<long>& terms) {
    if (terms.empty()) return "0";
    std::string text;
    for (long term : terms) {
        if (!text.empty()) text += ':';
        text += std::to_string(term);
    }
    return text;
}

bool StoredConditionValid(const SetupStore& store, int index) {
    const auto terms = ParseTerms(store.Text(RecordKind::Logic, index, kTerms));
    return terms && ConditionValid(*terms);
}

Reply Read(const SetupStore& store, int index, std::string_view body) {
    const auto params = ParseParamList(body);
    if (!params) return {kBadCommand, ""};
    std::vector<Item> items;
    for (int p : *params) {
        std::string value;
        if (p == kName) {
            // The name goes out at its full 16 characters: the reader takes exactly that many.
            value = store.Text(RecordKind::Logic, index, kName);
            value.resize(std::size_t(kNameLength), ' ');
        } else if (p == kValid) {
            value = StoredConditionValid(store, index) ? "1" : "0";
        } else if (p == kUnused) {
            value = "0";
        } else if (const auto stored = store.Get(RecordKind::Logic, index, p)) {
            value = *stored;
        } else {
            return {kBadData, ""};
        }
        items.emplace_back(p, value);
    }
    return {kOk, JoinItems(items)};
}

// Which part a refused write names in its reply.
enum Refusal { kNameRefused = 0, kIfRefused = 1, kThenRefused = 2 };

Reply Refuse(Refusal part) {
    return {kBadData, std::to_string(int(part))};
}

Reply Write(SetupStore& store, int index, std::string_view body, bool running) {
    const auto items = ParseItems(body, RecordKind::Logic);
    if (!items) return {kBadCommand, ""};
    if (running) return {kBadMode, ""};
    std::vector<std::pair<int, std::string>> accepted;
    for (const auto& [p, value] : *items) {
        if (p == kName) {
            if (store.Check(RecordKind::Logic, index, kName, value) != StoreResult::Ok)
                return Refuse(kNameRefused);
            accepted.emplace_back(p, value);
        } else if (p == kTerms) {
            const auto terms = ParseTerms(value);
            if (!terms || terms->size() > kMaxIfTerms) return Refuse(kIfRefused);
            for (long term : *terms) {
                if (!KnownIfTerm(term)) return Refuse(kIfRefused);
            }
            accepted.emplace_back(p, JoinTerms(*terms));
        } else if (p == kThen) {
            const auto action = ParseWireNumber(value);
            if (!action || !KnownThenAction(*action)) return Refuse(kThenRefused);
            accepted.emplace_back(p, std::to_string(*action));
        } else if (p == kDefined) {
            if (store.Check(RecordKind::Logic, index, kDefined, value) != StoreResult::Ok)
                return {kBadData, ""};
            accepted.emplace_back(p, value);
        } else {
            return {kBadData, ""};  // the validity is the instrument's to say
        }
    }
    for (const auto& [p, value] : accepted) store.Set(RecordKind::Logic, index, p, value);
    return {kOk, ""};
}

}  // namespace

Reply HandleLogicCommand(std::string_view rest, SetupStore& store, bool running) {
    const auto request = ParseRecordRequest(rest);
    if (!request) return {kBadCommand, ""};
    if (!store.HasRecord(RecordKind::Logic, request->index)) return {kBadData, ""};
    return request->query ? Read(store, request->index, request->body)
                          : Write(store, request->index, request->body, running);
}

}  // namespace delvar::sim
