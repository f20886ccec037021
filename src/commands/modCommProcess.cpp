#include "commands/modCommProcess.h"

#include "commands/ParamTable.h"
#include "setup/LayerChains.h"
#include "util/Text.h"

namespace delvar::commands {

namespace {
using setup::LayerRec;
using setup::ProcessRec;

WireParam<LayerRec> Real(double LayerRec::*m, int scale, bool wholeFirst = false) {
    return ScaledParam(m, scale, wholeFirst);
}
WireParam<LayerRec> Int(std::int16_t LayerRec::*m) {
    return WholeParam(m);
}

const ParamTable<LayerRec> kLayerParams({
    Real(&LayerRec::Rate, 10),
    Real(&LayerRec::Final_Thick, 1000),
    Real(&LayerRec::Time_Setpoint, 1, true),
    Real(&LayerRec::Thick_Limit, 1000),
    Int(&LayerRec::Start_Mode),
    Int(&LayerRec::Output_Number),
    Real(&LayerRec::Max_Power1, 10),
    Real(&LayerRec::Slew_Rate1, 10),
    Int(&LayerRec::Sensor1),
    Int(&LayerRec::Sensor2),
    Int(&LayerRec::Sensor3),
    Int(&LayerRec::Sensor4),
    Real(&LayerRec::Ramp1_Enabled, 1),
    Real(&LayerRec::Ramp1_Start, 1000),
    Real(&LayerRec::Ramp1_Rate, 10),
    Real(&LayerRec::Ramp1_Time, 1, true),
    Real(&LayerRec::Ramp2_Enabled, 1),
    Real(&LayerRec::Ramp2_Start, 1000),
    Real(&LayerRec::Ramp2_Rate, 10),
    Real(&LayerRec::Ramp2_Time, 1),
    Int(&LayerRec::Film_Number),
    Int(&LayerRec::Next_Layer),
    Int(&LayerRec::CoDep_Layer),
    Int(&LayerRec::Layer_Deleted),
    Real(&LayerRec::Min_Power1, 10),
    Real(&LayerRec::Pwr_Alarm_Dev, 1),
    Real(&LayerRec::Rate_Dev_Attn, 10, true),
    Real(&LayerRec::Rate_Dev_Alert, 10, true),
    Real(&LayerRec::Rate_Dev_Alarm, 10, true),
    Real(&LayerRec::Ramp3_Enabled, 1),
    Real(&LayerRec::Ramp3_Start, 1000),
    Real(&LayerRec::Ramp3_Rate, 10),
    Real(&LayerRec::Ramp3_Time, 1),
    Real(&LayerRec::FS_Rate, 10),
    Real(&LayerRec::FS_Thick, 10),
    Real(&LayerRec::Ramp4_Enabled, 1),
    Real(&LayerRec::Ramp4_Start, 1000),
    Real(&LayerRec::Ramp4_Rate, 10),
    Real(&LayerRec::Ramp4_Time, 1),
});

// The C command: one parameter per exchange, the reply is the bare value.
const ParamTable<ProcessRec> kProcessFields({
    NameParam(&ProcessRec::Process_Name),
    WholeParam(&ProcessRec::Number_Layers),
    WholeParam(&ProcessRec::First_Layer),
    WholeParam(&ProcessRec::Number_Act_Layers),
});

int Status(link::Link& link) {
    return link.CommStatus();
}

std::string Items(const LayerRec& layer, int first, int last) {
    std::string text;
    for (int p = first; p <= last; ++p)
        text += " " + std::to_string(p) + "," + kLayerParams.Text(layer, p);
    return text;
}
}  // namespace

int BeginTransfer(link::Link& link) {
    link.SendCommand("XSTART");
    return Status(link);
}

int EndTransfer(link::Link& link) {
    link.SendCommand("XSTOP");
    return Status(link);
}

void SetLayerParam(LayerRec& layer, int parameter, const std::string& value) {
    kLayerParams.Store(layer, parameter, value);
}

long GetLayerParam(const LayerRec& layer, int parameter) {
    return kLayerParams.Value(layer, parameter);
}

int ReadProcess(link::Link& link, setup::SetupData& setup, int process, int parameter) {
    setup::ProcessRec* p = setup.processes.Find(process);
    if (!p || parameter < 0 || parameter > kProcessParams) return link::kBadData;
    const int first = parameter == 0 ? 1 : parameter;
    const int last = parameter == 0 ? kProcessParams : parameter;
    for (int param = first; param <= last; ++param) {
        std::string reply =
            link.SendCommand("C" + std::to_string(process) + "? " + std::to_string(param));
        if (Status(link) != link::kOk) return Status(link);
        kProcessFields.Store(*p, param, reply);
    }
    return link::kOk;
}

int WriteProcess(link::Link& link, const setup::SetupData& setup, int process, int parameter) {
    const setup::ProcessRec* p = setup.processes.Find(process);
    if (!p || parameter < 0 || parameter > kProcessParams) return link::kBadData;
    const int first = parameter == 0 ? 1 : parameter;
    const int last = parameter == 0 ? kProcessParams : parameter;
    for (int param = first; param <= last; ++param) {
        link.SendCommand("C" + std::to_string(process) + " " + std::to_string(param) + "," +
                         kProcessFields.Text(*p, param));
        if (Status(link) != link::kOk) return Status(link);
    }
    return link::kOk;
}

int ReadLayer(link::Link& link, setup::SetupData& setup, int layer, int parameter) {
    LayerRec* record = setup.layers.Find(layer);
    if (!record || parameter < 0 || parameter > kLayerWireParams) return link::kBadData;
    const std::string head = "D" + std::to_string(layer) + "?";
    if (parameter != 0) {
        std::string reply = link.SendCommand(head + " " + std::to_string(parameter));
        if (Status(link) != link::kOk) return Status(link);
        auto comma = reply.find(',');
        SetLayerParam(*record, parameter,
                      comma == std::string::npos ? "" : reply.substr(comma + 1));
        return link::kOk;
    }
    std::string command = head;
    for (int p = 1; p <= kLayerWireParams; ++p) command += " " + std::to_string(p);
    std::string reply = link.SendCommand(command);
    if (Status(link) != link::kOk) return Status(link);
    const int items = util::FieldCount(reply, ' ');
    for (int i = 1; i <= items; ++i) {
        std::string value;
        std::string number = util::SplitFirst(util::GetField(reply, i, ' '), value, ',');
        if (value.empty() && number.empty()) continue;
        long param = 0;
        if (util::ParseWholeNumber(number, param) && param >= 1 && param <= kLayerParamCount)
            SetLayerParam(*record, int(param), value);
    }
    return link::kOk;
}

int WriteLayer(link::Link& link, const setup::SetupData& setup, int layer, int parameter) {
    const LayerRec* record = setup.layers.Find(layer);
    if (!record || parameter < 0 || parameter > kLayerWireParams) return link::kBadData;
    const std::string head = "D" + std::to_string(layer) + " ";
    if (parameter != 0) {
        link.SendCommand(head + Items(*record, parameter, parameter));
        return Status(link);
    }
    link.SendCommand(head + Items(*record, 1, 29));
    if (Status(link) != link::kOk) return Status(link);
    link.SendCommand(head + Items(*record, 30, kLayerWireParams));
    return Status(link);
}

int CheckProcessModel(const link::InstrumentInfo& info, const setup::SetupData& setup,
                      int process) {
    for (int index : setup::WalkProcess(setup, process)) {
        const LayerRec& layer = setup.layers[index];
        if (info.ChannelCount < 4 &&
            (layer.Output_Number > 2 || layer.Sensor3 > 0 || layer.Sensor4 > 0))
            return link::kFourChannelsRequired;
        if (layer.CoDep_Layer > 0 && !info.CoDep) return link::kCoDepRequired;
    }
    return link::kOk;
}

int Comm_SelectProcess(link::Link& link, setup::SetupData& setup, int process) {
    link.SendCommand("T " + std::to_string(process));
    return ReadProcess(link, setup, process, 0);
}

}  // namespace delvar::commands
