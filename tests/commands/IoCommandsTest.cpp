// System, sensors and sources, inputs and relays, logic statements, run-time commands,
// and the reply item lists they share.
#include <gtest/gtest.h>

#include "commands/CommandRig.h"
#include "commands/ReplyItems.h"
#include "commands/modCommData.h"
#include "commands/modCommLogic.h"
#include "commands/modCommOperate.h"
#include "commands/modCommSystem.h"

namespace delvar::commands {
namespace {

using namespace delvar::testing;
using Items = std::vector<std::pair<int, std::string>>;

TEST(ReplyItemsParsing, UnknownItemsAndEmptyNamesDoNotShiftTheOthers) {
    EXPECT_EQ(ReplyItems(" 99,5 2,3  1,Relay one "), (Items{{99, "5"}, {2, "3"}, {1, "Relay"}}));
    EXPECT_EQ(ReplyItems("1, 2,0 3,5"), (Items{{1, ""}, {2, "0"}, {3, "5"}}));
    EXPECT_EQ(ReplyItems("1,x,y 2,4"), (Items{{1, "x,y"}, {2, "4"}})) << "not an item: kept";
}

TEST(SystemCommands, ReadAndWrite) {
    CommandRig r;
    r.respond = [](const std::string& c) -> Answer {
        return {'A', c == "B?  6" ? "6,52" : "1,50 2,95 6,49 20,150 19,1234"};
    };
    setup::SystemRec& s = r.setup->system;
    EXPECT_EQ(ReadSystem(r.link, s, 0), 0);
    EXPECT_EQ(ReadSystem(r.link, s, 6), 0);
    EXPECT_EQ(s.Period, 0.5);
    EXPECT_EQ(s.Alpha, 1.5) << "stored although not asked for";
    EXPECT_EQ(s.Min_Freq, 5.2);
    s.Period = 0.25;
    s.Max_Freq = 6.1;
    EXPECT_EQ(WriteSystem(r.link, s, 0), 0);
    EXPECT_EQ(WriteSystem(r.link, s, 7), 0);
    EXPECT_EQ(r.sent,
              (Texts{"B?  1 2 5 6 7 14 15 16 17 18 19", "B?  6",
                     "B 1,25 2,95 5,0 6,52 7,61 14,0 15,0 16,0 17,0 18,0 19,1234", "B 7,61"}));
}

TEST(HardwareCommands, SensorsSourcesAndAssignments) {
    CommandRig r;
    auto& sensors = r.setup->sensors;
    sensors[2] = {"", "", 100, 0, 0.25, 4};  // relays, inputs, tooling, shutter, delay, positions
    EXPECT_EQ(WriteSensor(r.link, sensors, 2, 0), 0);
    EXPECT_EQ(WriteSensorIO(r.link, sensors, 1, 1), 0);
    r.AnswerAlways({'A', "4,1500 1,-75 9,2.6"});
    EXPECT_EQ(ReadSource(r.link, r.setup->sources, 1, 0), 0);
    EXPECT_EQ(r.setup->sources[1].Shutter_Delay, 1.5);
    EXPECT_EQ(r.setup->sources[1].Voltage_Scale, -7.5);
    EXPECT_EQ(r.sent, (Texts{"HA2 1,100 2,4 3,0 4,250 5,0 6,0 7,0 8,0 9,0",
                             "HE1 1,0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0", "HB1? 1 2 3 4 5 6 7 8 9"}));
}

TEST(IoCommands, InputsRelaysAndCounts) {
    CommandRig r;
    auto& inputs = r.setup->inputs;
    inputs[3] = {setup::FixedName("Door_open"), 1, 1, 7, 2};  // name mode, level, pin, used by
    EXPECT_EQ(WriteInput(r.link, inputs, 3, 0), 0);
    EXPECT_EQ(WriteInput(r.link, inputs, 3, kAllButUsedBy), 0);
    auto& relays = r.setup->relays;
    relays[2] = {setup::FixedName(""), 0, 0, 0, 0.5, 4};  // name mode, type, pulses, width, pin
    EXPECT_EQ(WriteRelay(r.link, relays, 2, kAllButUsedBy), 0);
    r.AnswerAlways({'A', "4,250 6,3 1,Water valve"});
    EXPECT_EQ(ReadRelay(r.link, relays, 2, 0), 0);
    EXPECT_EQ(relays[2].Name, setup::FixedName("Water")) << "cut at the blank";
    EXPECT_EQ(relays[2].Width, 0.25);
    r.AnswerAlways({'A', "1, 2,1 3,5"});
    EXPECT_EQ(ReadInput(r.link, inputs, 3, 0), 0);
    EXPECT_EQ(inputs[3].Name, setup::FixedName("")) << "a blank name reads as blank";
    EXPECT_EQ(inputs[3].Pin, 5);
    r.AnswerAlways({'A', "1,12 2,3.5"});
    std::int16_t a = 0, b = 0;
    EXPECT_EQ(ReadIOCounts(r.link, 4, a, b), 0);
    EXPECT_EQ(a * 100 + b, 1204);
    EXPECT_EQ(r.sent,
              (Texts{"GA3 1,Door_open        5,1 2,1 3,7 4,2", "GA3 1,Door_open        5,1 2,1 3,7",
                     "GB2 1,                 7,0 2,0 3,0 4,500 5,4", "GB2? 1 2 3 4 5 6 7",
                     "GA3? 1 2 3 4 5", "GC4? 1 2"}));
}

TEST(LogicCommands, WriteTextsAndRefusals) {
    CommandRig r;
    LogicTable& logic = r.setup->logic;
    logic[2].Name = setup::FixedName("Vent,then_pump");
    logic[2].IF = {101, 3, 205, 0, 7};
    logic[2].THEN = 12;
    EXPECT_EQ(WriteLogic(r.link, logic, 2), 0);
    EXPECT_EQ(logic[2].Name, setup::FixedName("Ventthen_pump")) << "kept without the comma";
    logic[3].Name = setup::FixedName("Empty");
    EXPECT_EQ(WriteLogic(r.link, logic, 3), 0);
    EXPECT_EQ(r.sent, (Texts{"I2 1,Ventthen_pump    2,101:3:205 3,12 6,1",
                             "I3 1,Empty            2,0 3,0 6,0"}));
    for (auto [reply, result] : {std::pair{"2", kLogicThenRefused}, {"0", kLogicNameRefused}}) {
        r.AnswerAlways({'D', reply});
        EXPECT_EQ(WriteLogic(r.link, logic, 1), result);
    }
    r.AnswerAlways({'E', ""});
    EXPECT_EQ(WriteLogic(r.link, logic, 1), link::kBadMode);
    EXPECT_EQ(WriteLogic(r.link, logic, 33), link::kBadData);
    for (auto [reply, valid] : {std::pair{"4,1", true}, {"4,0", false}, {"4,", false}}) {
        r.AnswerAlways({'A', reply});
        EXPECT_EQ(VerifyLogic(r.link, 5), valid) << reply;
    }
}

TEST(LogicCommands, ReadTakesTheReplyApart) {
    CommandRig r;
    LogicTable& logic = r.setup->logic;
    const setup::LogicRec& s = logic[4];
    r.AnswerAlways({'A', "1,Pump down  now 2,11:22:33 3,9 4,1 5,0 6,1"});
    logic[4].IF.fill(99);
    EXPECT_EQ(ReadLogic(r.link, logic, 4), 0);
    EXPECT_EQ(s.Name, setup::FixedName("Pump down  now"));
    EXPECT_EQ(s.IF, (std::array<std::int32_t, 16>{11, 22, 33}));
    EXPECT_EQ(s.Defined, 1);
    // An unused statement: its name is all blanks, and the items after it are found.
    r.AnswerAlways({'A', "1," + std::string(16, ' ') + " 2,7 3,0 4,0 5,0 6,0"});
    EXPECT_EQ(ReadLogic(r.link, logic, 4), 0);
    EXPECT_EQ(s.Name, setup::FixedName(""));
    EXPECT_EQ(s.IF, (std::array<std::int32_t, 16>{7}));
    std::string many = "1,Many             2,1";
    for (int t = 2; t <= 20; ++t) many += ":" + std::to_string(t);
    r.AnswerAlways({'A', many + " 3,5 4,0 5,0 6,1"});
    EXPECT_EQ(ReadLogic(r.link, logic, 4), 0);
    EXPECT_EQ(s.IF[15], 16) << "the record keeps the first 16 terms";
}

TEST(RunCommands, CommandTexts) {
    CommandRig r;
    EXPECT_EQ(Comm_RunCommand(r.link, kNextLayer), 0);
    Comm_SetPower(r.link, 0, 55);
    Comm_SendSelectProcess(r.link, 7);
    EXPECT_EQ(r.sent, (Texts{"U 4", "S0", "T 7"}));
    r.AnswerAlways({'E', ""});
    EXPECT_EQ(Comm_RunCommand(r.link, kStartProcess), link::kBadMode);
}

TEST(RunCommands, StatusStoresFieldsTwoToFive) {
    CommandRig r;
    RunStatus status;
    r.AnswerAlways({'A', "13 125.5 2 3 0"});
    EXPECT_EQ(Comm_GetStatus(r.link, status), 13);
    EXPECT_EQ(status.LayerNumber, 3);
    r.AnswerAlways({'C', ""});
    EXPECT_EQ(Comm_GetStatus(r.link, status), -1);
    r.AnswerAlways({'A', "6.5 1 2.5 99999 x"});
    EXPECT_EQ(Comm_GetStatus(r.link, status), 6);
    EXPECT_EQ(status.ProcessNumber, 2);
    EXPECT_EQ(status.LayerNumber, INT16_MAX) << "out of range values are clamped";
}

TEST(RunCommands, ReadingsFillOnlyTheFieldsGiven) {
    CommandRig r;
    std::array<OutputReading, 4> outputs{};
    outputs[2].Rate = 7.7;
    r.AnswerAlways({'A', "0 1.5 -2 0.123 45 2.5 3 0.5 -1"});  // 9 fields: outputs 1 and 2
    EXPECT_EQ(Comm_GetOutputReadings(r.link, outputs), 0);
    EXPECT_EQ(outputs[1].Power, -1);
    EXPECT_EQ(outputs[2].Rate, 7.7);
}

}  // namespace
}  // namespace delvar::commands
