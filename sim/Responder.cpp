#include "sim/Responder.h"

#include <cstdio>

#include "sim/CommandText.h"
#include "sim/LogicCommands.h"
#include "sim/RecordCommands.h"

namespace delvar::sim {

namespace {

char StatusOf(RunResult result) {
    switch (result) {
        case RunResult::Ok:
            return kOk;
        case RunResult::NotReady:
            return kNotReady;
        case RunResult::BadData:
            return kBadData;
        case RunResult::BadMode:
            return kBadMode;
    }
    return kBadData;
}

std::string Fixed(double value, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// " <number>" and nothing else; the number without sign or leading blanks.
std::optional<long> BlankAndNumber(std::string_view rest) {
    if (rest.size() < 2 || rest[0] != ' ' || rest[1] == ' ') return std::nullopt;
    rest.remove_prefix(1);
    if (rest.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    return ParseWireNumber(rest);
}

}  // namespace

Responder::Responder(InstrumentModel model, std::uint32_t seed)
    : model_(std::move(model)), runner_(store_, model_.channels, seed) {}

std::string Responder::VersionText() const {
    return std::string("DELVAR") + (model_.codep ? "C" : " ") + " Ver " + model_.firmware;
}

void Responder::AdvanceTo(double seconds) {
    if (seconds <= now_) return;
    runner_.Advance(seconds - now_);
    now_ = seconds;
}

Reply Responder::Respond(std::string_view command) {
    if (command == "@") return {kOk, VersionText()};
    if (command == "J") return {kOk, std::to_string(model_.channels)};
    if (command == "V") return Status();
    if (command == "K1") return OutputReadings();
    if (command == "K2") return SensorReadings();
    if (command == "XSTART" || command == "XSTOP") {
        transfer_ = command == "XSTART";
        return {kOk, ""};
    }
    if (command.starts_with("GC")) return IoCounts(command.substr(2));
    if (command.starts_with("U")) return RunCommand(command.substr(1));
    if (command.starts_with("S")) return PowerCommand(command.substr(1));
    if (command.starts_with("T")) return SelectCommand(command.substr(1));
    if (command.starts_with("I"))
        return HandleLogicCommand(command.substr(1), store_, runner_.Running());
    if (const RecordCommand* record = FindRecordCommand(command)) {
        return HandleRecordCommand(*record, command.substr(record->letters.size()),
                                   {store_, model_.channels, runner_.Running()});
    }
    return {kBadCommand, ""};
}

// "phase elapsed process layer layer-record".
Reply Responder::Status() const {
    const StatusReading s = runner_.Status();
    return {kOk, std::to_string(s.phase) + ' ' + Fixed(s.elapsed, 1) + ' ' +
                     std::to_string(s.process) + ' ' + std::to_string(s.layer) + ' ' +
                     std::to_string(s.layerRecord)};
}

// The channel count, then rate, deviation, thickness and power of outputs 1 to 4.
Reply Responder::OutputReadings() const {
    std::string text = std::to_string(model_.channels);
    for (const OutputReading& r : runner_.Outputs()) {
        text += ' ' + Fixed(r.rate, 2) + ' ' + Fixed(r.deviation, 1) + ' ' + Fixed(r.thickness, 4) +
                ' ' + Fixed(r.power, 1);
    }
    return {kOk, text};
}

// The channel count, then rate, thickness and frequency of sensors 1 to 4.
Reply Responder::SensorReadings() const {
    std::string text = std::to_string(model_.channels);
    for (const SensorReading& r : runner_.Sensors())
        text += ' ' + Fixed(r.rate, 2) + ' ' + Fixed(r.thickness, 4) + ' ' + Fixed(r.frequency, 1);
    return {kOk, text};
}

Reply Responder::RunCommand(std::string_view rest) {
    const auto code = BlankAndNumber(rest);
    if (!code) return {kBadCommand, ""};
    if (transfer_) return {kBadMode, ""};
    return {StatusOf(runner_.Run(int(*code))), ""};
}

// "S0" returns every output to automatic control; "Sn v" sets output n to v tenths.
Reply Responder::PowerCommand(std::string_view rest) {
    if (rest == "0") {
        runner_.SetAutomatic();
        return {kOk, ""};
    }
    const auto blank = rest.find(' ');
    if (blank == std::string_view::npos || blank == 0) return {kBadCommand, ""};
    const auto output = ParseWireNumber(rest.substr(0, blank));
    const auto tenths = BlankAndNumber(rest.substr(blank));
    if (!output || !tenths || rest.substr(0, blank).find('.') != std::string_view::npos)
        return {kBadCommand, ""};
    if (transfer_) return {kBadMode, ""};
    return {StatusOf(runner_.SetManualPower(int(*output), *tenths)), ""};
}

Reply Responder::SelectCommand(std::string_view rest) {
    const auto process = BlankAndNumber(rest);
    if (!process) return {kBadCommand, ""};
    if (transfer_) return {kBadMode, ""};
    return {StatusOf(runner_.Select(int(*process))), ""};
}

// "GCk? 1 2": whether input k and relay k are on now.
Reply Responder::IoCounts(std::string_view rest) {
    const auto request = ParseRecordRequest(rest);
    if (!request || !request->query) return {kBadCommand, ""};
    const auto params = ParseParamList(request->body);
    if (!params) return {kBadCommand, ""};
    if (request->index < 1 || request->index > kIoCount) return {kBadData, ""};
    io_.Scan(store_, {runner_.CurrentPhase(), runner_.Running()});
    std::vector<Item> items;
    for (int p : *params) {
        if (p != 1 && p != 2) return {kBadData, ""};
        const long value = p == 1 ? io_.Input(request->index) : io_.Relay(request->index);
        items.emplace_back(p, std::to_string(value));
    }
    return {kOk, JoinItems(items)};
}

}  // namespace delvar::sim
