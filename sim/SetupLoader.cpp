#include "sim/SetupLoader.h"

#include <filesystem>
#include <memory>

#include "commands/WireNumbers.h"
#include "commands/modCommFilm.h"
#include "commands/modCommProcess.h"
#include "commands/modCommSystem.h"
#include "core/CErrHandler.h"
#include "setup/modDatabase.h"
#include "util/Text.h"

namespace delvar::sim {

namespace {

using commands::ToLong;
using K = RecordKind;

// Messages of the open are collected as the reason it failed.
class CollectingDialogs final : public core::MessageOnlyDialogs {
  public:
    core::MessageAnswer ShowMessage(const core::Message& m) override {
        if (!text.empty()) text += "; ";
        text += m.text;
        return core::MessageAnswer::Ok;
    }
    std::string text;
};

class Writer {
  public:
    explicit Writer(SetupStore& store) : store_(store) {}
    void Put(K kind, int index, int param, const std::string& value) {
        if (store_.Set(kind, index, param, value) != StoreResult::Ok) ++refused;
    }
    void Put(K kind, int index, int param, long value) {
        Put(kind, index, param, std::to_string(value));
    }
    int refused = 0;

  private:
    SetupStore& store_;
};

std::string Assignment(const std::string& text) {
    return text.size() >= 31 ? util::Trim(text) : "0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0";
}

std::string Terms(const setup::LogicRec& logic) {
    std::string text;
    for (std::int32_t term : logic.IF) {
        if (term <= 0) break;
        if (!text.empty()) text += ':';
        text += std::to_string(term);
    }
    return text.empty() ? "0" : text;
}

std::string NoCommas(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c != ',') out += c;
    }
    return out;
}

void Store(const setup::SetupData& s, Writer& w) {
    for (int p = 1; p <= setup::kMaxProcesses; ++p) {
        const setup::ProcessRec& r = s.processes[p];
        w.Put(K::Process, p, 1, NoCommas(r.Process_Name));
        w.Put(K::Process, p, 2, r.Number_Layers);
        w.Put(K::Process, p, 3, r.First_Layer);
        w.Put(K::Process, p, 4, r.Number_Act_Layers);
    }
    for (int l = 1; l <= setup::kMaxLayers; ++l) {
        for (int p = 1; p <= commands::kLayerParamCount; ++p)
            w.Put(K::Layer, l, p, commands::GetLayerParam(s.layers[l], p));
    }
    for (int f = 1; f <= setup::kMaxFilms; ++f) {
        for (const ParamSpec& spec : SchemaOf(K::Film).params) {
            const std::string value = commands::GetFilmParam(s.films[f], spec.number);
            w.Put(K::Film, f, spec.number, spec.number == 101 ? NoCommas(value) : value);
        }
    }
    for (int m = 1; m <= setup::kMaxMaterials; ++m) {
        const setup::MaterialRec& r = s.materials[m];
        w.Put(K::Material, m, 1, NoCommas(r.Material));
        w.Put(K::Material, m, 2, ToLong(r.Density * 100));
        w.Put(K::Material, m, 3, ToLong(r.ZFactor * 1000));
    }
    for (int k = 1; k <= setup::kMaxChannels; ++k) {
        const setup::SensorRec& a = s.sensors[k];
        const setup::SourceRec& b = s.sources[k];
        const long sensor[] = {
            a.Tooling,         a.Num_Positions, a.Shutter,       ToLong(a.Shutter_Delay * 1000),
            a.Control_Type,    a.Drive_Type,    a.Feedback_Type, a.Indexer_Delay,
            a.Current_Position};
        const long source[] = {ToLong(b.Voltage_Scale * 10),
                               b.Num_Positions,
                               b.Shutter,
                               ToLong(b.Shutter_Delay * 1000),
                               b.Control_Type,
                               b.Drive_Type,
                               b.Feedback_Type,
                               b.Indexer_Delay,
                               b.Current_Position};
        for (int p = 1; p <= 9; ++p) {
            w.Put(K::Sensor, k, p, sensor[p - 1]);
            w.Put(K::Source, k, p, source[p - 1]);
        }
        w.Put(K::SensorIo, k, 1, Assignment(a.UseInputs));
        w.Put(K::SensorIo, k, 2, Assignment(a.UseRelays));
        w.Put(K::SourceIo, k, 1, Assignment(b.UseInputs));
        w.Put(K::SourceIo, k, 2, Assignment(b.UseRelays));
    }
    for (int k = 1; k <= setup::kMaxIo; ++k) {
        const setup::InputRec& i = s.inputs[k];
        w.Put(K::Input, k, 1, NoCommas(i.Name));
        w.Put(K::Input, k, 2, i.Level);
        w.Put(K::Input, k, 3, i.Pin);
        w.Put(K::Input, k, 4, i.UsedBy);
        w.Put(K::Input, k, 5, i.NameMode);
        const setup::RelayRec& r = s.relays[k];
        w.Put(K::Relay, k, 1, NoCommas(r.Name));
        w.Put(K::Relay, k, 2, r.Type);
        w.Put(K::Relay, k, 3, r.Pulses);
        w.Put(K::Relay, k, 4, ToLong(r.Width * 1000));
        w.Put(K::Relay, k, 5, r.Pin);
        w.Put(K::Relay, k, 6, r.UsedBy);
        w.Put(K::Relay, k, 7, r.NameMode);
    }
    for (int n = 1; n <= setup::kMaxLogic; ++n) {
        const setup::LogicRec& r = s.logic[n];
        w.Put(K::Logic, n, 1, NoCommas(r.Name));
        w.Put(K::Logic, n, 2, Terms(r));
        w.Put(K::Logic, n, 3, r.THEN);
        w.Put(K::Logic, n, 6, r.Defined);
    }
    for (int p = 1; p <= 20; ++p) w.Put(K::System, 1, p, commands::GetSystemParam(s.system, p));
}

}  // namespace

LoadResult LoadSetupFile(const std::string& path, SetupStore& store) {
    LoadResult result;
    CollectingDialogs dialogs;
    const std::string scratch = std::filesystem::temp_directory_path().string();
    core::CErrHandler errors(dialogs, core::AppInfo{}, scratch + "/delvar-sim-errors.txt", scratch);
    setup::NoProgress progress;
    auto data = std::make_unique<setup::SetupData>();
    setup::ResetSetupData(*data);
    {
        setup::modDatabase database(*data, {dialogs, errors, progress});
        if (!std::filesystem::exists(path)) {
            result.error = "no such file: " + path;
            return result;
        }
        if (!database.DBOpen(path)) {
            result.error = dialogs.text.empty() ? "cannot read " + path : dialogs.text;
            return result;
        }
    }
    Writer writer(store);
    Store(*data, writer);
    result.opened = true;
    result.refused = writer.refused;
    return result;
}

}  // namespace delvar::sim
