#include <gtest/gtest.h>

#include <memory>

#include "commands/ReplyItems.h"
#include "commands/modCommSystem.h"
#include "support/LinkRig.h"

namespace delvar::commands {
namespace {

using namespace delvar::testing;

struct SystemRig : LinkRig {
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    std::vector<std::string> sent;
    std::function<Answer(const std::string&)> respond = [](const std::string&) { return Answer{}; };
    SystemRig() {
        setup::ResetSetupData(*setup);
        AnswerOn(tcp, [this](const std::string& command) {
            sent.push_back(command);
            return respond(command);
        });
    }
};

TEST(ReplyItemsParsing, UnknownItemsDoNotShiftTheOthers) {
    auto items = ReplyItems(" 99,5 2,3  1,Relay one ");
    ASSERT_EQ(items.size(), 3u);  // "one" is no item
    EXPECT_EQ(items[0], (std::pair<int, std::string>{99, "5"}));
    EXPECT_EQ(items[1], (std::pair<int, std::string>{2, "3"}));
    EXPECT_EQ(items[2], (std::pair<int, std::string>{1, "Relay"}));  // a name ends at a blank
    EXPECT_TRUE(ReplyItems("").empty());
    EXPECT_EQ(ValueAfterComma("6,1,2"), "1,2");
    EXPECT_EQ(ValueAfterComma("none"), "");
}

TEST(ReplyItemsParsing, AnEmptyNameDoesNotSwallowTheNextItem) {
    using Items = std::vector<std::pair<int, std::string>>;
    EXPECT_EQ(ReplyItems("1, 2,0 3,5"), (Items{{1, ""}, {2, "0"}, {3, "5"}}));
    EXPECT_EQ(ReplyItems("1,  5,1"), (Items{{1, ""}, {5, "1"}}));
    EXPECT_EQ(ReplyItems("1,"), (Items{{1, ""}}));
    EXPECT_EQ(ReplyItems("1,x,y 2,4"), (Items{{1, "x,y"}, {2, "4"}})) << "not an item: kept";
}

TEST(SystemCommands, ReadAllAndOneParameter) {
    SystemRig r;
    r.respond = [](const std::string& c) -> Answer {
        if (c == "B?  6") return {'A', "6,52"};
        return {'A', "1,50 2,95 6,49 7,60 20,150 19,1234"};
    };
    setup::SystemRec& s = r.setup->system;
    EXPECT_EQ(ReadSystem(r.link, s, 0), 0);
    EXPECT_EQ(r.sent[0], "B?  1 2 5 6 7 14 15 16 17 18 19");
    EXPECT_DOUBLE_EQ(s.Period, 0.5);
    EXPECT_EQ(s.System_Tooling, 95);
    EXPECT_DOUBLE_EQ(s.Min_Freq, 4.9);
    EXPECT_DOUBLE_EQ(s.Alpha, 1.5);  // stored although not asked for
    EXPECT_EQ(s.Password, 1234);
    EXPECT_EQ(ReadSystem(r.link, s, 6), 0);
    EXPECT_EQ(r.sent[1], "B?  6");
    EXPECT_DOUBLE_EQ(s.Min_Freq, 5.2);
}

TEST(SystemCommands, WriteUsesWireScales) {
    SystemRig r;
    setup::SystemRec& s = r.setup->system;
    s.Period = 0.25;
    EXPECT_EQ(WriteSystem(r.link, s, 0), 0);
    EXPECT_EQ(r.sent[0], "B 1,25 2,100 5,0 6,50 7,61 14,0 15,0 16,0 17,0 18,0 19,0");
    EXPECT_EQ(WriteSystem(r.link, s, 7), 0);
    EXPECT_EQ(r.sent[1], "B 7,61");
    EXPECT_EQ(GetSystemParam(s, 20), 100);
    EXPECT_EQ(GetSystemParam(s, 8), 50);
    EXPECT_EQ(GetSystemParam(s, 21), 0);
}

TEST(HardwareCommands, SensorsAndSources) {
    SystemRig r;
    auto& sensors = r.setup->sensors;
    sensors[2].Tooling = 100;
    sensors[2].Num_Positions = 4;
    sensors[2].Shutter_Delay = 0.25;
    EXPECT_EQ(WriteSensor(r.link, sensors, 2, 0), 0);
    EXPECT_EQ(r.sent[0], "HA2 1,100 2,4 3,0 4,250 5,0 6,0 7,0 8,0 9,0");
    r.setup->sources[1].Voltage_Scale = -5;
    EXPECT_EQ(WriteSource(r.link, r.setup->sources, 1, 1), 0);
    EXPECT_EQ(r.sent[1], "HB1 1,-50");
    r.respond = [](const std::string&) { return Answer{'A', "4,1500 1,-75 9,2.6"}; };
    EXPECT_EQ(ReadSource(r.link, r.setup->sources, 1, 0), 0);
    EXPECT_EQ(r.sent[2], "HB1? 1 2 3 4 5 6 7 8 9");
    EXPECT_DOUBLE_EQ(r.setup->sources[1].Shutter_Delay, 1.5);
    EXPECT_DOUBLE_EQ(r.setup->sources[1].Voltage_Scale, -7.5);
    EXPECT_EQ(r.setup->sources[1].Current_Position, 3);
    EXPECT_EQ(ReadSensor(r.link, sensors, 5, 0), link::kBadData);  // no sensor 5
    EXPECT_EQ(r.sent.size(), 3u);
}

TEST(HardwareCommands, AssignmentStrings) {
    SystemRig r;
    auto& sensors = r.setup->sensors;
    EXPECT_EQ(WriteSensorIO(r.link, sensors, 1, 1), 0);
    EXPECT_EQ(r.sent[0], "HE1 1,0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0");
    sensors[1].UseRelays = "1:2:3:4:5:6:7:8:9:10:11:12:13:14:15:16";
    EXPECT_EQ(WriteSensorIO(r.link, sensors, 1, 2), 0);
    EXPECT_EQ(r.sent[1], "HE1 2,1:2:3:4:5:6:7:8:9:10:11:12:13:14:15:16");
    r.respond = [](const std::string&) { return Answer{'A', "1,0:1:0:0:0:0:0:0:0:0:0:0:0:0:0:1"}; };
    EXPECT_EQ(ReadSourceIO(r.link, r.setup->sources, 3, 1), 0);
    EXPECT_EQ(r.sent[2], "HF3? 1");
    EXPECT_EQ(r.setup->sources[3].UseInputs, "0:1:0:0:0:0:0:0:0:0:0:0:0:0:0:1");
}

TEST(IoCommands, InputsRelaysAndCounts) {
    SystemRig r;
    auto& inputs = r.setup->inputs;
    inputs[3].Name = setup::FixedName("Door");
    inputs[3].Level = 1;
    inputs[3].Pin = 7;
    inputs[3].UsedBy = 2;
    inputs[3].NameMode = 1;
    EXPECT_EQ(WriteInput(r.link, inputs, 3, 0), 0);
    EXPECT_EQ(r.sent[0], "GA3 1,Door             5,1 2,1 3,7 4,2");
    EXPECT_EQ(WriteInput(r.link, inputs, 3, kAllButUsedBy), 0);
    EXPECT_EQ(r.sent[1], "GA3 1,Door             5,1 2,1 3,7");
    auto& relays = r.setup->relays;
    relays[2].Width = 0.5;
    relays[2].Pin = 4;
    EXPECT_EQ(WriteRelay(r.link, relays, 2, kAllButUsedBy), 0);
    EXPECT_EQ(r.sent[2], "GB2 1," + setup::FixedName("") + " 7,0 2,0 3,0 4,500 5,4");
    r.respond = [](const std::string&) { return Answer{'A', "4,250 6,3 1,Water valve"}; };
    EXPECT_EQ(ReadRelay(r.link, relays, 2, 0), 0);
    EXPECT_EQ(r.sent[3], "GB2? 1 2 3 4 5 6 7");
    EXPECT_EQ(relays[2].Name, setup::FixedName("Water"));  // cut at the blank
    EXPECT_DOUBLE_EQ(relays[2].Width, 0.25);
    EXPECT_EQ(relays[2].UsedBy, 3);
    r.respond = [](const std::string&) { return Answer{'A', "1,12 2,3.5"}; };
    std::int16_t a = 0, b = 0;
    EXPECT_EQ(ReadIOCounts(r.link, 4, a, b), 0);
    EXPECT_EQ(r.sent[4], "GC4? 1 2");
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, 4);
    EXPECT_EQ(ReadIOCounts(r.link, 17, a, b), link::kBadData);
}

}  // namespace
}  // namespace delvar::commands
