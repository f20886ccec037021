#include "setup/LayerChains.h"

#include <algorithm>

namespace delvar::setup {

namespace {
constexpr int kMaxSteps = kMaxLayers;

bool Linked(int index) {
    return index > 0;
}

// The record after layer in a walk: Next_Layer when set, else CoDep_Layer; 0 for none.
int Successor(const LayerRec& layer) {
    if (Linked(layer.Next_Layer)) return layer.Next_Layer;
    if (Linked(layer.CoDep_Layer)) return layer.CoDep_Layer;
    return 0;
}

// Every record reachable from First_Layer until a record without a link, stopping
// at an index outside the table, at a record already visited, or after 999 steps.
std::vector<int> ChainOf(const SetupData& setup, const ProcessRec& process) {
    std::vector<int> chain;
    std::vector<bool> seen(kMaxLayers + 1, false);
    int index = process.First_Layer;
    while (Table<LayerRec, kMaxLayers>::Valid(index) && !seen[std::size_t(index)] &&
           int(chain.size()) < kMaxSteps) {
        seen[std::size_t(index)] = true;
        chain.push_back(index);
        index = Successor(setup.layers[index]);
    }
    return chain;
}

void MarkFree(LayerRec& layer) {
    layer.Layer_Deleted = 1;
    layer.Film_Number = -1;
    layer.Next_Layer = -1;
    layer.CoDep_Layer = -1;
}

void TakeSlot(LayerRec& layer) {
    layer.Layer_Deleted = 0;
    layer.Film_Number = 1;
}
}  // namespace

std::vector<int> WalkProcess(const SetupData& setup, int process) {
    std::vector<int> walk;
    const ProcessRec* p = setup.processes.Find(process);
    if (!p) return walk;
    int index = p->First_Layer;
    const int count = std::clamp<int>(p->Number_Act_Layers, 0, kMaxSteps);
    while (int(walk.size()) < count && Table<LayerRec, kMaxLayers>::Valid(index)) {
        walk.push_back(index);
        index = Successor(setup.layers[index]);
    }
    return walk;
}

void RecountProcess(SetupData& setup, int process) {
    ProcessRec* p = setup.processes.Find(process);
    if (!p) return;
    std::vector<int> chain = ChainOf(setup, *p);
    int nextLinks = 0;
    for (std::size_t i = 0; i + 1 < chain.size(); ++i)
        if (Linked(setup.layers[chain[i]].Next_Layer)) ++nextLinks;
    p->Number_Act_Layers = static_cast<std::int16_t>(chain.size());
    p->Number_Layers = static_cast<std::int16_t>(chain.empty() ? 0 : 1 + nextLinks);
}

bool IsFreeLayer(const LayerRec& layer) {
    return layer.Next_Layer == -1 && layer.CoDep_Layer == -1 && layer.Film_Number == -1;
}

int LowestFreeLayer(const SetupData& setup) {
    for (int n = 1; n <= kMaxLayers; ++n)
        if (IsFreeLayer(setup.layers[n])) return n;
    return 0;
}

int InsertLayer(SetupData& setup, int process, int afterLayer) {
    ProcessRec* p = setup.processes.Find(process);
    if (!p) return 0;
    int member = 0;
    if (afterLayer != 0) {
        std::vector<int> chain = ChainOf(setup, *p);
        if (std::find(chain.begin(), chain.end(), afterLayer) == chain.end()) return 0;
        // The last member of afterLayer's group carries the group's Next_Layer.
        member = afterLayer;
        for (int steps = 0; Linked(setup.layers[member].CoDep_Layer) && steps < kMaxSteps;
             ++steps) {
            int next = setup.layers[member].CoDep_Layer;
            if (!Table<LayerRec, kMaxLayers>::Valid(next)) break;
            member = next;
        }
    }
    const int slot = LowestFreeLayer(setup);
    if (slot == 0) return 0;
    LayerRec& added = setup.layers[slot];
    TakeSlot(added);
    if (member != 0) {
        added.Next_Layer = setup.layers[member].Next_Layer;
        setup.layers[member].Next_Layer = static_cast<std::int16_t>(slot);
    } else {
        added.Next_Layer = Linked(p->First_Layer) ? p->First_Layer : std::int16_t(-1);
        p->First_Layer = static_cast<std::int16_t>(slot);
    }
    RecountProcess(setup, process);
    return slot;
}

int InsertCoDepLayer(SetupData& setup, int process, int topLayer) {
    ProcessRec* p = setup.processes.Find(process);
    if (!p || !Table<LayerRec, kMaxLayers>::Valid(topLayer)) return 0;
    std::vector<int> chain = ChainOf(setup, *p);
    if (std::find(chain.begin(), chain.end(), topLayer) == chain.end()) return 0;
    int last = topLayer;
    int coDeps = 0;
    while (Table<LayerRec, kMaxLayers>::Valid(setup.layers[last].CoDep_Layer) &&
           coDeps <= kMaxCoDepLayers) {
        last = setup.layers[last].CoDep_Layer;
        ++coDeps;
    }
    if (coDeps >= kMaxCoDepLayers) return 0;
    const int slot = LowestFreeLayer(setup);
    if (slot == 0) return 0;
    LayerRec& added = setup.layers[slot];
    TakeSlot(added);
    // The group's Next_Layer moves to its new last member.
    added.Next_Layer = setup.layers[last].Next_Layer;
    setup.layers[last].Next_Layer = -1;
    setup.layers[last].CoDep_Layer = static_cast<std::int16_t>(slot);
    RecountProcess(setup, process);
    return slot;
}

bool DeleteLayer(SetupData& setup, int process, int layer) {
    ProcessRec* p = setup.processes.Find(process);
    if (!p || !Table<LayerRec, kMaxLayers>::Valid(layer)) return false;
    std::vector<int> chain = ChainOf(setup, *p);
    auto at = std::find(chain.begin(), chain.end(), layer);
    if (at == chain.end()) return false;
    LayerRec& gone = setup.layers[layer];
    if (at == chain.begin()) {
        p->First_Layer = Linked(gone.Next_Layer) ? gone.Next_Layer : gone.CoDep_Layer;
    } else {
        LayerRec& before = setup.layers[*(at - 1)];
        if (Linked(gone.Next_Layer)) {
            before.Next_Layer = gone.Next_Layer;
            before.CoDep_Layer = -1;
        } else if (Linked(gone.CoDep_Layer)) {
            before.CoDep_Layer = gone.CoDep_Layer;
            before.Next_Layer = -1;
        } else {
            before.Next_Layer = -1;
            before.CoDep_Layer = -1;
        }
    }
    MarkFree(gone);
    RecountProcess(setup, process);
    return true;
}

}  // namespace delvar::setup
