#include <gtest/gtest.h>

#include <memory>

#include "commands/modCommProcess.h"
#include "setup/LayerChains.h"
#include "support/LinkRig.h"

namespace delvar::commands {
namespace {

using namespace delvar::testing;

struct ProcessRig : LinkRig {
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    std::vector<std::string> sent;
    std::function<Answer(const std::string&)> respond = [](const std::string&) { return Answer{}; };
    ProcessRig() {
        setup::ResetSetupData(*setup);
        AnswerOn(tcp, [this](const std::string& command) {
            sent.push_back(command);
            return respond(command);
        });
    }
};

TEST(ProcessCommands, ReadProcessFieldByField) {
    ProcessRig r;
    r.respond = [](const std::string& c) -> Answer {
        if (c == "C5? 1") return {'A', "  Gold Mirror  "};
        if (c == "C5? 2") return {'A', "3"};
        if (c == "C5? 3") return {'A', "12"};
        return {'A', "4.5"};
    };
    EXPECT_EQ(ReadProcess(r.link, *r.setup, 5, 0), 0);
    EXPECT_EQ(r.sent, (std::vector<std::string>{"C5? 1", "C5? 2", "C5? 3", "C5? 4"}));
    const auto& p = r.setup->processes[5];
    EXPECT_EQ(p.Process_Name, "Gold Mirror     ");
    EXPECT_EQ(p.Number_Layers, 3);
    EXPECT_EQ(p.First_Layer, 12);
    EXPECT_EQ(p.Number_Act_Layers, 4);  // 4.5 rounds half to even

    r.sent.clear();
    r.respond = [](const std::string&) { return Answer{'C', ""}; };
    EXPECT_EQ(ReadProcess(r.link, *r.setup, 5, 0), link::kBadCommand);
    EXPECT_EQ(r.sent.size(), 1u);  // the first failure ends the sequence
    EXPECT_EQ(r.setup->processes[5].First_Layer, 12);
}

TEST(ProcessCommands, WriteProcessAndRefusedNumbers) {
    ProcessRig r;
    r.setup->processes[5].First_Layer = 12;
    r.setup->processes[5].Process_Name = setup::FixedName("Al");
    EXPECT_EQ(WriteProcess(r.link, *r.setup, 5, 3), 0);
    EXPECT_EQ(WriteProcess(r.link, *r.setup, 5, 1), 0);
    EXPECT_EQ(r.sent, (std::vector<std::string>{"C5 3,12", "C5 1,Al              "}));
    EXPECT_EQ(ReadProcess(r.link, *r.setup, 100, 0), link::kBadData);
    EXPECT_EQ(WriteLayer(r.link, *r.setup, 1000, 0), link::kBadData);
    EXPECT_EQ(ReadLayer(r.link, *r.setup, 0, 1), link::kBadData);
    EXPECT_EQ(r.sent.size(), 2u);  // nothing sent for numbers outside the tables
}

TEST(ProcessCommands, LayerWireScalesAndRounding) {
    setup::LayerRec layer;
    layer.Rate = 10.25;
    layer.Final_Thick = 1.5;
    layer.Ramp1_Rate = 12.75;
    EXPECT_EQ(GetLayerParam(layer, 1), 102);
    EXPECT_EQ(GetLayerParam(layer, 2), 1500);
    EXPECT_EQ(GetLayerParam(layer, 15), 128);
    SetLayerParam(layer, 1, "105");
    EXPECT_DOUBLE_EQ(layer.Rate, 10.5);
    SetLayerParam(layer, 3, "7.5");  // taken as an Integer first
    EXPECT_DOUBLE_EQ(layer.Time_Setpoint, 8);
    SetLayerParam(layer, 27, "125.5");  // Integer first, then tenths
    EXPECT_DOUBLE_EQ(layer.Rate_Dev_Attn, 12.6);
    SetLayerParam(layer, 20, "7.5");  // unscaled floating: unchanged
    EXPECT_DOUBLE_EQ(layer.Ramp2_Time, 7.5);
    SetLayerParam(layer, 22, "31");
    EXPECT_EQ(layer.Next_Layer, 31);
    SetLayerParam(layer, 40, "9");  // unknown parameter: ignored
    EXPECT_EQ(GetLayerParam(layer, 40), 0);
    EXPECT_EQ(GetLayerParam(layer, 0), 0);
}

TEST(ProcessCommands, LayerReadAndWriteTexts) {
    ProcessRig r;
    r.setup->layers[7].Rate = 10.5;
    r.setup->layers[7].Final_Thick = 1.5;
    EXPECT_EQ(WriteLayer(r.link, *r.setup, 7, 0), 0);
    ASSERT_EQ(r.sent.size(), 2u);
    EXPECT_EQ(r.sent[0].rfind("D7  1,105 2,1500 3,0 ", 0), 0u) << r.sent[0];
    EXPECT_NE(r.sent[0].find(" 29,0"), std::string::npos);
    EXPECT_EQ(r.sent[0].find(" 30,"), std::string::npos);
    EXPECT_EQ(r.sent[1], "D7  30,0 31,0 32,0 33,0 34,100 35,100");
    EXPECT_EQ(WriteLayer(r.link, *r.setup, 7, 6), 0);
    EXPECT_EQ(r.sent[2], "D7  6,1");

    r.sent.clear();
    r.respond = [](const std::string& c) -> Answer {
        if (c.rfind("D7? 1 2 3", 0) == 0) return {'A', "1,120 2,2500 22,8 99,5 junk 6,3"};
        return {'A', "6,4"};
    };
    EXPECT_EQ(ReadLayer(r.link, *r.setup, 7, 0), 0);
    std::string all = "D7?";
    for (int p = 1; p <= 35; ++p) all += " " + std::to_string(p);
    EXPECT_EQ(r.sent[0], all);
    EXPECT_DOUBLE_EQ(r.setup->layers[7].Rate, 12.0);
    EXPECT_DOUBLE_EQ(r.setup->layers[7].Final_Thick, 2.5);
    EXPECT_EQ(r.setup->layers[7].Next_Layer, 8);
    EXPECT_EQ(r.setup->layers[7].Output_Number, 3);
    EXPECT_EQ(ReadLayer(r.link, *r.setup, 7, 6), 0);
    EXPECT_EQ(r.sent[1], "D7? 6");
    EXPECT_EQ(r.setup->layers[7].Output_Number, 4);

    r.sent.clear();
    r.respond = [](const std::string&) { return Answer{'B', ""}; };
    EXPECT_EQ(WriteLayer(r.link, *r.setup, 7, 0), link::kNotReady);
    EXPECT_EQ(r.sent.size(), 1u);  // a failed first half ends the write
}

TEST(ProcessCommands, ModelCheckOnTwoAndFourChannelInstruments) {
    auto s = std::make_unique<setup::SetupData>();
    setup::ResetSetupData(*s);
    int first = setup::InsertLayer(*s, 1, 0);
    int second = setup::InsertLayer(*s, 1, first);
    link::InstrumentInfo twoChannels{true, "DELVAR  Ver 6.30", 2, false};
    link::InstrumentInfo fourChannels{true, "DELVAR  Ver 6.30", 4, false};
    link::InstrumentInfo codep{true, "DELVARC Ver 6.30", 4, true};
    EXPECT_EQ(CheckProcessModel(twoChannels, *s, 1), 0);
    s->layers[second].Output_Number = 3;
    EXPECT_EQ(CheckProcessModel(twoChannels, *s, 1), link::kFourChannelsRequired);
    EXPECT_EQ(CheckProcessModel(fourChannels, *s, 1), 0);
    s->layers[second].Output_Number = 1;
    s->layers[first].Sensor4 = 1;
    EXPECT_EQ(CheckProcessModel(twoChannels, *s, 1), link::kFourChannelsRequired);
    s->layers[first].Sensor4 = 0;
    setup::InsertCoDepLayer(*s, 1, first);
    EXPECT_EQ(CheckProcessModel(fourChannels, *s, 1), link::kCoDepRequired);
    EXPECT_EQ(CheckProcessModel(codep, *s, 1), 0);
    s->layers[first].Output_Number = 4;  // the channel test comes first
    EXPECT_EQ(CheckProcessModel(twoChannels, *s, 1), link::kFourChannelsRequired);
    EXPECT_EQ(CheckProcessModel(twoChannels, *s, 2), 0);  // no layers
}

TEST(ProcessCommands, TransferBracketsAndSelection) {
    ProcessRig r;
    r.respond = [](const std::string& c) -> Answer {
        if (c == "T 7") return {'E', ""};
        if (c == "C7? 1") return {'A', "Stack"};
        return {'A', "2"};
    };
    EXPECT_EQ(BeginTransfer(r.link), 0);
    EXPECT_EQ(EndTransfer(r.link), 0);
    EXPECT_EQ(Comm_SelectProcess(r.link, *r.setup, 7), 0);  // refused T still re-reads
    EXPECT_EQ(r.sent, (std::vector<std::string>{"XSTART", "XSTOP", "T 7", "C7? 1", "C7? 2", "C7? 3",
                                                "C7? 4"}));
    EXPECT_EQ(r.setup->processes[7].Process_Name, setup::FixedName("Stack"));
}

}  // namespace
}  // namespace delvar::commands
