// The simulated instrument's answers to the setup, logic and run-time commands.
#include <gtest/gtest.h>

#include "sim/CommandHandler.h"
#include "sim/LogicRules.h"
#include "sim/Responder.h"
#include "util/Text.h"

namespace delvar::sim {
namespace {

Reply Ok(std::string data = "") {
    return {'A', std::move(data)};
}
const Reply kBadData{'D', ""};
const Reply kBadMode{'E', ""};

struct SimInstrument : ::testing::Test {
    Responder sim{InstrumentModel{}};
    Reply Send(std::string_view command) { return sim.Respond(command); }
    // Starts process 1 (one layer by default) and lets it run a little.
    void StartProcess() {
        ASSERT_EQ(Send("U 0"), Ok());
        sim.AdvanceTo(1.0);
        ASSERT_TRUE(sim.Runner().Running());
    }
};

TEST_F(SimInstrument, ProcessReadsAnswerTheBareValue) {
    EXPECT_EQ(Send("C5 3,12"), Ok());
    EXPECT_EQ(Send("C5? 3"), Ok("12"));
    EXPECT_EQ(Send("C5 1,Mirror stack    "), Ok());
    EXPECT_EQ(Send("C5? 1"), Ok("Mirror stack"));
    // Several parameters at once come back as items.
    EXPECT_EQ(Send("C5? 3 1"), Ok("3,12 1,Mirror stack"));
}

TEST_F(SimInstrument, LayerWritesWithTwoBlanksAndItemReplies) {
    EXPECT_EQ(Send("D7  1,105 2,1500 6,2"), Ok());
    EXPECT_EQ(Send("D7? 1 2 6"), Ok("1,105 2,1500 6,2"));
    EXPECT_EQ(Send("D7 30,1 31,250"), Ok());
    EXPECT_EQ(Send("D7? 31"), Ok("31,250"));
    // A fraction is rounded as the instrument stores whole wire units.
    EXPECT_EQ(Send("D7  1,10.6"), Ok());
    EXPECT_EQ(Send("D7? 1"), Ok("1,11"));
}

TEST_F(SimInstrument, RefusedWritesChangeNothing) {
    ASSERT_EQ(Send("D7  1,105 6,2"), Ok());
    EXPECT_EQ(Send("D7  1,200 6,7"), kBadData) << "output 7 does not exist";
    EXPECT_EQ(Send("D7  1,200 77,1"), kBadData) << "no parameter 77";
    EXPECT_EQ(Send("D7  1,200 6,x"), kBadData);
    EXPECT_EQ(Send("D7? 1 6"), Ok("1,105 6,2")) << "the good item of a refused write is not kept";
    EXPECT_EQ(Send("D1000? 1"), kBadData);
    EXPECT_EQ(Send("C100? 1"), kBadData);
    EXPECT_EQ(Send("C0? 1"), kBadData);
    EXPECT_EQ(Send("F12 2,39"), kBadData) << "density below 0.4";
    EXPECT_EQ(Send("F12 3,10000"), kBadData) << "Z-factor of 10";
    EXPECT_EQ(Send("C5 1,name,with,commas"), kBadData);
}

TEST_F(SimInstrument, FilmGroupsCarryTheirOwnNumbers) {
    EXPECT_EQ(Send("A1 5 Gold 100nm"), Ok());
    EXPECT_EQ(Send("A1 5?"), Ok("Gold 100nm"));
    EXPECT_EQ(Send("A2 5 1,40 2,15 4,3"), Ok());
    EXPECT_EQ(Send("A2 5? 1 2 4"), Ok("1,40 2,15 4,3"));
    EXPECT_EQ(Send("A3 5 1,255 3,20"), Ok());
    EXPECT_EQ(Send("A3 5? 1 3"), Ok("1,255 3,20"));
    EXPECT_EQ(Send("A2 5? 9"), kBadData) << "A2 has no parameter 9";
    EXPECT_EQ(Send("A2 51? 1"), kBadData);
}

TEST_F(SimInstrument, FilmCrystalGroupFollowsTheChannelCount) {
    EXPECT_EQ(Send("A5 1? 16"), Ok("16,0"));
    Responder twoChannels({"6.30", 2, false});
    EXPECT_EQ(twoChannels.Respond("A5 1? 1 2 3 4 5 6 7 8"), Ok("1,0 2,1 3,0 4,0 5,0 6,1 7,0 8,0"));
    EXPECT_EQ(twoChannels.Respond("A5 1? 9"), kBadData);
    EXPECT_EQ(twoChannels.Respond("A5 1 9,1"), kBadData);
}

TEST_F(SimInstrument, SystemSensorAndIoCommands) {
    EXPECT_EQ(Send("B 1,50 2,95 6,45"), Ok());
    EXPECT_EQ(Send("B?  1 2 6"), Ok("1,50 2,95 6,45"));
    EXPECT_EQ(Send("B?  1 2 6"), Send("B? 1 2 6"));
    EXPECT_EQ(Send("HA2 1,105 2,6 4,250"), Ok());
    EXPECT_EQ(Send("HA2? 1 2 4"), Ok("1,105 2,6 4,250"));
    EXPECT_EQ(Send("HB3 1,-75"), Ok());
    EXPECT_EQ(Send("HB3? 1"), Ok("1,-75"));
    EXPECT_EQ(Send("HA5? 1"), kBadData);
    EXPECT_EQ(Send("HE2 1,1:0:0:0:0:0:0:0:0:0:0:0:0:0:0:2"), Ok());
    EXPECT_EQ(Send("HE2? 1"), Ok("1,1:0:0:0:0:0:0:0:0:0:0:0:0:0:0:2"));
    // A 16-character name with blanks: the items after it are still found.
    EXPECT_EQ(Send("GA5 1,Door switch      5,0 2,1 3,5 4,0"), Ok());
    EXPECT_EQ(Send("GA5? 1 2 3"), Ok("1,Door 2,1 3,5")) << "the name ends at a blank";
}

TEST_F(SimInstrument, SetupWritesAreRefusedWhileAProcessRuns) {
    StartProcess();
    for (const char* write : {"C5 3,12", "D7  1,105", "A2 5 1,40", "A1 5 Name", "F12 2,270",
                              "B 1,50", "HA2 1,105", "GA5 3,1", "I2 3,0"})
        EXPECT_EQ(Send(write), kBadMode) << write;
    EXPECT_EQ(Send("C5? 3").status, 'A') << "reads still work";
    EXPECT_EQ(Send("T 2"), kBadMode) << "no new selection while running";
    EXPECT_EQ(Send("U 1"), Ok());
    EXPECT_EQ(Send("C5 3,12"), Ok());
}

TEST_F(SimInstrument, LogicStatementsRoundTripWithTheirValidity) {
    EXPECT_EQ(Send("I2 1,Pump_down        2,101:3:205 3,202 6,1"), Ok());
    EXPECT_EQ(Send("I2? 1 2 3 4 5 6"), Ok("1,Pump_down        2,101:3:205 3,202 4,1 5,0 6,1"));
    EXPECT_EQ(Send("I2? 4"), Ok("4,1"));
    EXPECT_EQ(Send("I3 1,Dangling         2,101:3 3,201 6,1"), Ok()) << "stored, but not valid";
    EXPECT_EQ(Send("I3? 4"), Ok("4,0"));
    EXPECT_EQ(Send("I4 1,<Empty>          2,0 3,0 6,0"), Ok());
    EXPECT_EQ(Send("I4? 2 4"), Ok("2,0 4,0"));
}

TEST_F(SimInstrument, LogicWritesRefusedByPart) {
    ASSERT_EQ(Send("I2 1,Keep           2,101 3,201 6,1"), Ok());
    EXPECT_EQ(Send("I2 1,Bad\x7fname        2,101 3,201 6,1"), (Reply{'D', "0"}));
    EXPECT_EQ(Send("I2 1,Keep           2,101:99:205 3,201 6,1"), (Reply{'D', "1"}))
        << "99 is no IF term";
    EXPECT_EQ(Send("I2 1,Keep           2,101:3:205 3,12 6,1"), (Reply{'D', "2"}))
        << "12 is no THEN action";
    EXPECT_EQ(Send("I2 4,1"), kBadData) << "the validity is read only";
    EXPECT_EQ(Send("I2? 2 3"), Ok("2,101 3,201"));
}

TEST_F(SimInstrument, IoCountsFollowInputPinsAndLogicDrivenRelays) {
    EXPECT_EQ(Send("GC5? 1 2"), Ok("1,0 2,0")) << "input 5 has no pin";
    ASSERT_EQ(Send("GA5 3,1"), Ok());  // pin 1: the vacuum switch, closed
    EXPECT_EQ(Send("GC5? 1 2"), Ok("1,1 2,0"));
    ASSERT_EQ(Send("GA5 2,1"), Ok());  // active low
    EXPECT_EQ(Send("GC5? 1"), Ok("1,0"));
    ASSERT_EQ(Send("GA5 2,0"), Ok());
    // Relay 3 follows "Input5 AND NOT Process_Active".
    ASSERT_EQ(Send("I1 1,Vent             2,105:3:5:806 3,203 6,1"), Ok());
    EXPECT_EQ(Send("GC3? 2"), Ok("2,1"));
    StartProcess();
    EXPECT_EQ(Send("GC3? 2"), Ok("2,0"));
    EXPECT_EQ(Send("GC17? 1 2"), kBadData);
}

TEST_F(SimInstrument, RunCommandsAnswerWithTheRunnersStatus) {
    EXPECT_EQ(Send("C2 4,0"), Ok());
    EXPECT_EQ(Send("T 2"), Ok());
    EXPECT_EQ(Send("U 0"), (Reply{'B', ""})) << "an empty process is not ready to run";
    EXPECT_EQ(Send("T 100"), kBadData);
    EXPECT_EQ(Send("T 1"), Ok());
    EXPECT_EQ(Send("U 3"), kBadMode) << "no layer to stop";
    EXPECT_EQ(Send("U 7"), kBadData);
    EXPECT_EQ(Send("S5 100"), kBadData);
    EXPECT_EQ(Send("S1 1001"), kBadData);
    EXPECT_EQ(Send("XSTART"), Ok());
    EXPECT_EQ(Send("U 0"), kBadMode) << "a setup transfer holds the run commands";
    EXPECT_EQ(Send("XSTOP"), Ok());
    EXPECT_EQ(Send("U 0"), Ok());
    EXPECT_EQ(Send("S1 450"), Ok());
    sim.AdvanceTo(2.0);
    EXPECT_EQ(sim.Runner().CurrentPhase(), kManualPower);
    EXPECT_EQ(Send("S0"), Ok());
}

TEST_F(SimInstrument, ReadingRepliesHaveTheirFieldCounts) {
    StartProcess();
    const Reply status = Send("V");
    ASSERT_EQ(status.status, 'A');
    EXPECT_EQ(util::FieldCount(status.data, ' '), 5);
    EXPECT_EQ(status.data.substr(0, status.data.find(' ')),
              std::to_string(sim.Runner().CurrentPhase()));
    EXPECT_EQ(util::FieldCount(Send("K1").data, ' '), 17);
    EXPECT_EQ(util::FieldCount(Send("K2").data, ' '), 13);
    EXPECT_EQ(Send("K1").data.substr(0, 2), "4 ") << "the first field is the channel count";
}

TEST(SimCommandHandlerTime, EachCommandBringsSimulatedTimeUpAtTheSpeedFactor) {
    Responder responder({});
    FaultInjector faults({});
    CommandHandler handler(responder, faults, 100.0);
    ASSERT_EQ(handler.Handle({"U 0", true}).reply, Ok());
    const Reply later = handler.Handle({"V", true}, std::chrono::milliseconds(500)).reply;
    // Half a real second at speed 100 is 50 simulated seconds.
    EXPECT_EQ(util::GetField(later.data, 2, ' '), "50.0");
}

TEST(SimLogicRules, WellFormedConditions) {
    using V = std::vector<long>;
    EXPECT_TRUE(ConditionValid(V{101}));
    EXPECT_TRUE(ConditionValid(V{101, kAnd, 205}));
    EXPECT_TRUE(ConditionValid(V{kNot, kOpen, 101, kOr, 102, kClose, kAnd, 806}));
    EXPECT_TRUE(ConditionValid(V{401, kMore, 1461}));
    EXPECT_FALSE(ConditionValid(V{}));
    EXPECT_FALSE(ConditionValid(V{101, kAnd}));
    EXPECT_FALSE(ConditionValid(V{101, 102}));
    EXPECT_FALSE(ConditionValid(V{kOpen, 101}));
    EXPECT_FALSE(ConditionValid(V{101, kClose}));
    EXPECT_FALSE(ConditionValid(V{kAnd, 101}));
    EXPECT_FALSE(ConditionValid(V{kNot}));
    EXPECT_FALSE(ConditionValid(V(16, kOpen)));
}

TEST(SimLogicRules, EvaluationOfOperandsOperatorsAndTimerValues) {
    const auto state = [](long code) -> long { return code == 101 ? 1 : code == 401 ? 75 : 0; };
    using V = std::vector<long>;
    EXPECT_TRUE(EvaluateCondition(V{101}, state));
    EXPECT_FALSE(EvaluateCondition(V{101, kAnd, 102}, state));
    EXPECT_TRUE(EvaluateCondition(V{101, kAnd, kNot, 102}, state));
    EXPECT_TRUE(EvaluateCondition(V{102, kOr, kOpen, 101, kAnd, kNot, 103, kClose}, state));
    EXPECT_TRUE(EvaluateCondition(V{401, kMore, 1401 + 60}, state));
    EXPECT_FALSE(EvaluateCondition(V{401, kLess, 1401 + 60}, state));
    EXPECT_FALSE(EvaluateCondition(V{101, kAnd}, state)) << "an invalid condition is false";
    EXPECT_EQ(ParseTerms("101:3:205"), (V{101, 3, 205}));
    EXPECT_EQ(ParseTerms("0"), V{});
    EXPECT_FALSE(ParseTerms("101::205"));
}

}  // namespace
}  // namespace delvar::sim
