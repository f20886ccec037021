// Process and layer records between SetupData and the instrument ("C", "D"),
// the transfer brackets "XSTART"/"XSTOP", and the process model check.
#pragma once

#include <cstdint>
#include <string>

#include "link/Link.h"
#include "setup/SetupData.h"

namespace delvar::commands {

inline constexpr int kLayerParamCount = 39;  // known to Set/GetLayerParam
inline constexpr int kLayerWireParams = 35;  // carried by the D command
inline constexpr int kProcessParams = 4;

int BeginTransfer(link::Link& link);
int EndTransfer(link::Link& link);

// parameter 0 = all. A process or layer number outside its table is refused with
// Bad Data and nothing is sent.
int ReadProcess(link::Link& link, setup::SetupData& setup, int process, int parameter);
int WriteProcess(link::Link& link, const setup::SetupData& setup, int process, int parameter);
int ReadLayer(link::Link& link, setup::SetupData& setup, int layer, int parameter);
int WriteLayer(link::Link& link, const setup::SetupData& setup, int layer, int parameter);

// Stores a wire value text into a layer field; unknown parameters are ignored.
void SetLayerParam(setup::LayerRec& layer, int parameter, const std::string& value);
// The wire value of a layer field; 0 for an unknown parameter.
long GetLayerParam(const setup::LayerRec& layer, int parameter);

// 0, 95 (more outputs or sensors than the instrument has) or 96 (CoDep needed).
int CheckProcessModel(const link::InstrumentInfo& info, const setup::SetupData& setup, int process);

// "T n", then the whole process record read back, whatever "T" answered.
int Comm_SelectProcess(link::Link& link, setup::SetupData& setup, int process);

}  // namespace delvar::commands
