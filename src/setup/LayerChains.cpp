#include "setup/LayerChains.h"

#include <algorithm>

namespace delvar::setup {

namespace {
constexpr int kMaxSteps = kMaxLayers;

bool Linked(int index) {
    return index > 0;
}

std::vector<ChainStep> StepsOf(const SetupData& setup, int process) {
    std::vector<ChainStep> steps;
    WalkChain(setup, process, WalkLength::Linked, [&](const ChainStep& step) {
        steps.push_back(step);
        return true;
    });
    return steps;
}

using StepIt = std::vector<ChainStep>::const_iterator;

StepIt FindLayer(const std::vector<ChainStep>& steps, int layer) {
    return std::find_if(steps.begin(), steps.end(),
                        [layer](const ChainStep& step) { return step.layer == layer; });
}

// The last record of the group at, counted from at on.
StepIt LastOfGroup(const std::vector<ChainStep>& steps, StepIt at) {
    StepIt last = at;
    while (last + 1 != steps.end() && (last + 1)->top == at->top) ++last;
    return last;
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

ChainStep WalkChain(const SetupData& setup, int process, WalkLength length,
                    const std::function<bool(const ChainStep&)>& visit) {
    ChainStep step;
    const ProcessRec* p = setup.processes.Find(process);
    if (!p) return step;
    const int count = length == WalkLength::Recorded
                          ? std::clamp<int>(p->Number_Act_Layers, 0, kMaxSteps)
                          : kMaxSteps;
    std::vector<bool> seen(kMaxLayers + 1, false);
    ChainStep next{p->First_Layer, 1, 1};
    for (int records = 0; records < count && Table<LayerRec, kMaxLayers>::Valid(next.layer) &&
                          !seen[std::size_t(next.layer)];
         ++records) {
        step = next;
        seen[std::size_t(step.layer)] = true;
        if (!visit(step)) break;
        const LayerRec& layer = setup.layers[step.layer];
        if (Linked(layer.Next_Layer))
            next = {layer.Next_Layer, step.top + 1, 1};
        else if (Linked(layer.CoDep_Layer))
            next = {layer.CoDep_Layer, step.top, step.member + 1};
        else
            break;
    }
    return step;
}

std::vector<int> WalkProcess(const SetupData& setup, int process, WalkLength length) {
    std::vector<int> walk;
    WalkChain(setup, process, length, [&walk](const ChainStep& step) {
        walk.push_back(step.layer);
        return true;
    });
    return walk;
}

void RecountProcess(SetupData& setup, int process) {
    ProcessRec* p = setup.processes.Find(process);
    if (!p) return;
    int records = 0;
    const ChainStep last = WalkChain(setup, process, WalkLength::Linked, [&](const ChainStep&) {
        ++records;
        return true;
    });
    p->Number_Act_Layers = static_cast<std::int16_t>(records);
    p->Number_Layers = static_cast<std::int16_t>(last.top);
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
        const std::vector<ChainStep> steps = StepsOf(setup, process);
        const StepIt at = FindLayer(steps, afterLayer);
        if (at == steps.end()) return 0;
        // The last member of afterLayer's group carries the group's Next_Layer.
        member = LastOfGroup(steps, at)->layer;
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
    const std::vector<ChainStep> steps = StepsOf(setup, process);
    const StepIt at = FindLayer(steps, topLayer);
    if (at == steps.end()) return 0;
    const StepIt lastStep = LastOfGroup(steps, at);
    if (lastStep->member - at->member >= kMaxCoDepLayers) return 0;
    const int slot = LowestFreeLayer(setup);
    if (slot == 0) return 0;
    const int last = lastStep->layer;
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
    if (!p) return false;
    const std::vector<ChainStep> steps = StepsOf(setup, process);
    const StepIt at = FindLayer(steps, layer);
    if (at == steps.end()) return false;
    LayerRec& gone = setup.layers[layer];
    if (at == steps.begin()) {
        p->First_Layer = Linked(gone.Next_Layer) ? gone.Next_Layer : gone.CoDep_Layer;
    } else {
        LayerRec& before = setup.layers[(at - 1)->layer];
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
