// Layer chains of a process: walking, recounting, inserting and deleting layers in
// the shared pool. Chains come from the instrument and from files and may be broken
// or circular, so every walk is bounded to the table and to 999 steps.
#pragma once

#include <vector>

#include "setup/SetupData.h"

namespace delvar::setup {

inline constexpr int kMaxCoDepLayers = 3;  // CoDep layers under one top layer

// The layers of a process in transfer order: Number_Act_Layers records from
// First_Layer, following Next_Layer when set, else CoDep_Layer.
std::vector<int> WalkProcess(const SetupData& setup, int process);

// Recounts Number_Act_Layers (records reached) and Number_Layers (1 + Next_Layer
// links followed) by walking from First_Layer until a record has no link.
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
