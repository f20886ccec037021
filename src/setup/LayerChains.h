// Layer chains of a process: walking, recounting, inserting and deleting layers in
// the shared pool. Chains come from the instrument and from files and may be broken
// or circular, so every walk is bounded to the table and to 999 steps.
#pragma once

#include <functional>
#include <vector>

#include "setup/SetupData.h"

namespace delvar::setup {

inline constexpr int kMaxCoDepLayers = 3;  // CoDep layers under one top layer

// One record of a walk: its layer index, the number of its top layer in the process
// (1 for the first) and its place in that layer's group (1 for the top layer itself,
// 2 to 4 for the CoDep layers reached through CoDep_Layer).
struct ChainStep {
    int layer = 0;
    int top = 0;
    int member = 0;
};

enum class WalkLength {
    Recorded,  // Number_Act_Layers records: open, save, download, model checks
    Linked,    // until a record has no link: recount, edits, upload
};

// The one walk over a process's chain, in the order files and the instrument use:
// from First_Layer, after each record to its Next_Layer when that is above 0, else to
// its CoDep_Layer (a record has only one of them set; when a damaged chain has both,
// every walk here takes the same one). visit runs before a record's links are read,
// so it may first fill the record from a file or the instrument; returning false ends
// the walk. Every walk also ends at an index outside the layer table, at a record
// already visited and after 999 records. Returns the last step (layer 0 for none).
ChainStep WalkChain(const SetupData& setup, int process, WalkLength length,
                    const std::function<bool(const ChainStep&)>& visit);

// The layers WalkChain visits.
std::vector<int> WalkProcess(const SetupData& setup, int process,
                             WalkLength length = WalkLength::Recorded);

// Recounts Number_Act_Layers (records reached) and Number_Layers (top layers reached)
// by walking from First_Layer until a record has no link.
void RecountProcess(SetupData& setup, int process);

// A slot whose Next_Layer, CoDep_Layer and Film_Number are all -1.
bool IsFreeLayer(const LayerRec& layer);
// Lowest free slot, 0 when the table is full.
int LowestFreeLayer(const SetupData& setup);

// Inserts a top layer after the group of afterLayer, or first in the process when
// afterLayer is 0. Returns the new layer's number, 0 when refused.
int InsertLayer(SetupData& setup, int process, int afterLayer);

// Adds a CoDep layer at the end of topLayer's group (at most three). Returns the new
// layer's number, 0 when refused.
int InsertCoDepLayer(SetupData& setup, int process, int topLayer);

// Unlinks layer from the process, recounts it and frees the slot. False when the
// layer is not in the process's chain.
bool DeleteLayer(SetupData& setup, int process, int layer);

}  // namespace delvar::setup
