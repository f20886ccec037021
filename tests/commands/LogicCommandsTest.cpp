#include <gtest/gtest.h>

#include "commands/modCommLogic.h"
#include "support/LinkRig.h"

namespace delvar::commands {
namespace {

using namespace delvar::testing;

struct LogicRig : LinkRig {
    LogicTable logic;
    std::vector<std::string> sent;
    Answer answer;
    LogicRig() {
        AnswerOn(tcp, [this](const std::string& command) {
            sent.push_back(command);
            return answer;
        });
    }
};

TEST(LogicCommands, WriteTexts) {
    LogicRig r;
    setup::LogicRec& s = r.logic[2];
    s.Name = setup::FixedName("Vent, then pump");
    s.IF = {101, 3, 205, 0, 7};
    s.THEN = 12;
    EXPECT_EQ(WriteLogic(r.link, r.logic, 2), 0);
    EXPECT_EQ(r.sent[0], "I2 1," + setup::FixedName("Vent then pump") + " 2,101:3:205 3,12 6,1");
    EXPECT_EQ(s.Name, setup::FixedName("Vent then pump"));  // kept without the comma
    r.logic[3].Name = setup::FixedName("Empty");
    EXPECT_EQ(WriteLogic(r.link, r.logic, 3), 0);
    EXPECT_EQ(r.sent[1], "I3 1,Empty            2,0 3,0 6,0");
}

TEST(LogicCommands, RefusalsMapToTheirCodes) {
    LogicRig r;
    r.answer = {'D', "2"};
    EXPECT_EQ(WriteLogic(r.link, r.logic, 1), kLogicThenRefused);
    r.answer = {'D', "0"};
    EXPECT_EQ(WriteLogic(r.link, r.logic, 1), kLogicNameRefused);
    r.answer = {'E', ""};
    EXPECT_EQ(WriteLogic(r.link, r.logic, 1), link::kBadMode);
    EXPECT_EQ(WriteLogic(r.link, r.logic, 33), link::kBadData);
}

TEST(LogicCommands, ReadTakesTheReplyApart) {
    LogicRig r;
    r.answer = {'A', "1,Pump down  now 2,11:22:33 3,9 4,1 5,0 6,1"};
    r.logic[4].IF.fill(99);
    EXPECT_EQ(ReadLogic(r.link, r.logic, 4), 0);
    EXPECT_EQ(r.sent[0], "I4? 1 2 3 4 5 6");
    const setup::LogicRec& s = r.logic[4];
    EXPECT_EQ(s.Name, "Pump down  now 2");  // the first 16 characters, blanks and all
    EXPECT_EQ(s.IF[0], 11);
    EXPECT_EQ(s.IF[1], 22);
    EXPECT_EQ(s.IF[2], 33);
    EXPECT_EQ(s.IF[3], 0);
    EXPECT_EQ(s.THEN, 9);
    EXPECT_EQ(s.Defined, 1);

    r.answer = {'A', "1,Single           2,7 3,0 4,0 5,0 6,0"};
    EXPECT_EQ(ReadLogic(r.link, r.logic, 4), 0);
    EXPECT_EQ(s.IF[0], 7);
    EXPECT_EQ(s.IF[1], 0);
    EXPECT_EQ(s.Defined, 0);

    std::string many = "1,Many             2,1";
    for (int t = 2; t <= 20; ++t) many += ":" + std::to_string(t);
    r.answer = {'A', many + " 3,5 4,0 5,0 6,1"};
    EXPECT_EQ(ReadLogic(r.link, r.logic, 4), 0);
    EXPECT_EQ(s.IF[15], 16);  // the record keeps the first 16 terms
    EXPECT_EQ(s.THEN, 5);
}

TEST(LogicCommands, Verify) {
    LogicRig r;
    r.answer = {'A', "4,1"};
    EXPECT_TRUE(VerifyLogic(r.link, 5));
    EXPECT_EQ(r.sent[0], "I5? 4");
    r.answer = {'A', "4,0"};
    EXPECT_FALSE(VerifyLogic(r.link, 5));
    r.answer = {'A', "4,"};
    EXPECT_FALSE(VerifyLogic(r.link, 5));
    r.answer = {'A', "4,x"};
    EXPECT_FALSE(VerifyLogic(r.link, 5));
}

}  // namespace
}  // namespace delvar::commands
