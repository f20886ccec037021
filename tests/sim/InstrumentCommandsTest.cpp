// The simulated instrument's answers to the setup, logic and run-time commands, and
// the handler that frames them.
#include <gtest/gtest.h>

#include "link/Frame.h"
#include "sim/CommandHandler.h"
#include "sim/LogicRules.h"
#include "util/Text.h"

namespace delvar::sim {
namespace {

Reply Ok(std::string data = "") {
    return {'A', std::move(data)};
}
const Reply kBadCommand{'C', ""};
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

TEST_F(SimInstrument, VersionMarksTheModelAndMisshapenCommandsAreBadCommands) {
    EXPECT_EQ(Send("@"), Ok("DELVAR  Ver 6.30"));
    Responder codep({"10.2b", 2, true});
    EXPECT_TRUE(codep.Respond("@") == Ok("DELVARC Ver 10.2b") && codep.Respond("J") == Ok("2"));
    for (const char* command :
         {"X",    "j",    "@ ", " J",      "JJ",  "V ",     "XSTARTX", "",    "U",
          "U  1", "U x",  "T",  "T5",      "S1",  "S1 4.5", "C5",      "C5?", "Cx? 1",
          "A1 5", "A15?", "Bx", "D7? 1 x", "GC5", "I3",     "K3"})
        EXPECT_EQ(Send(command), kBadCommand) << '"' << command << '"';
}

TEST_F(SimInstrument, WritesKeepWholeUnitsAndNamesWithBlanksAndRefusalsChangeNothing) {
    ASSERT_EQ(Send("D7  1,104.6 6,2"), Ok());
    // A 16-character name with blanks: the name ends at a blank, the items after it
    // are still found.
    ASSERT_EQ(Send("GA5 1,Door  sw A      5,0 2,1"), Ok());
    EXPECT_EQ(Send("GA5? 1 2 5"), Ok("1,Door 2,1 5,0"));
    for (const char* write : {"D7  1,200 6,7", "D7  1,200 77,1", "D7  1,200 6,x"})
        EXPECT_EQ(Send(write), kBadData) << write;
    EXPECT_EQ(Send("D7? 1 6"), Ok("1,105 6,2")) << "the good item of a refused write is not kept";
    for (const char* bad : {"D1000? 1", "C100? 1", "C0? 1", "A2 5? 9", "A2 51? 1", "HA5? 1",
                            "F12 2,39", "F12 3,10000", "C5 1,name,with,commas", "GC17? 1 2",
                            "C5 1,Seventeen chars!!", "D7  1,1e5", "B 17,51"})
        EXPECT_EQ(Send(bad), kBadData) << bad;
}

TEST_F(SimInstrument, SetupWritesWaitWhileAProcessRunsAndRunCommandsDuringATransfer) {
    StartProcess();
    for (const char* write : {"C5 3,12", "D7  1,105", "A2 5 1,40", "A1 5 Name", "F12 2,270",
                              "B 1,50", "HA2 1,105", "GA5 3,1", "I2 3,0", "T 2"})
        EXPECT_EQ(Send(write), kBadMode) << write;
    EXPECT_EQ(Send("C5? 3").status, 'A') << "reads still work";
    EXPECT_EQ(Send("U 1"), Ok());
    EXPECT_EQ(Send("C2 4,0"), Ok());
    EXPECT_EQ(Send("T 2"), Ok());
    EXPECT_EQ(Send("U 0"), (Reply{'B', ""})) << "an empty process is not ready to run";
    EXPECT_EQ(Send("T 100"), kBadData);
    EXPECT_EQ(Send("T 1"), Ok());
    EXPECT_EQ(Send("U 3"), kBadMode) << "no layer to stop";
    for (const char* bad : {"U 7", "S5 100", "S1 1001"}) EXPECT_EQ(Send(bad), kBadData) << bad;
    EXPECT_EQ(Send("XSTART"), Ok());
    EXPECT_EQ(Send("U 0"), kBadMode) << "a setup transfer holds the run commands";
    EXPECT_EQ(Send("XSTOP"), Ok());
    EXPECT_EQ(Send("U 0"), Ok());
    EXPECT_EQ(Send("S1 450"), Ok());
    sim.AdvanceTo(2.0);
    EXPECT_EQ(sim.Runner().CurrentPhase(), kManualPower);
}

TEST_F(SimInstrument, LogicStatementsKeepTheirValidityAndAreRefusedByPart) {
    EXPECT_EQ(Send("I2 1,Pump_down        2,101:3:205 3,202 6,1"), Ok());
    EXPECT_EQ(Send("I2? 1 2 3 4 5 6"), Ok("1,Pump_down        2,101:3:205 3,202 4,1 5,0 6,1"));
    EXPECT_EQ(Send("I3 1,Dangling         2,101:3 3,201 6,1"), Ok()) << "stored, but not valid";
    EXPECT_EQ(Send("I3? 4"), Ok("4,0"));
    EXPECT_EQ(Send("I2 1,Bad\x7fname        2,101 3,201 6,1"), (Reply{'D', "0"}));
    EXPECT_EQ(Send("I2 1,Keep           2,101:99:205 3,201 6,1"), (Reply{'D', "1"}));
    EXPECT_EQ(Send("I2 1,Keep           2,101:3:205 3,12 6,1"), (Reply{'D', "2"}));
    EXPECT_EQ(Send("I2 4,1"), kBadData) << "the validity is read only";
    EXPECT_EQ(Send("I2? 2 3"), Ok("2,101:3:205 3,202"));
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
}

TEST(SimLogicRules, MalformedConditionsAreInvalidAndFalse) {
    using V = std::vector<long>;
    EXPECT_TRUE(ConditionValid(V{kNot, kOpen, 101, kOr, 102, kClose, kAnd, 806}));
    for (const V& bad : {V{}, V{101, kAnd}, V{101, 102}, V{kOpen, 101}, V{101, kClose},
                         V{kAnd, 101}, V{kNot}, V(16, kOpen)}) {
        EXPECT_FALSE(ConditionValid(bad));
        EXPECT_FALSE(EvaluateCondition(bad, [](long) { return 1L; }));
    }
    const auto timer = [](long code) { return code == 401 ? 75L : 0L; };
    EXPECT_TRUE(EvaluateCondition(V{401, kMore, 1401 + 60}, timer));
    EXPECT_FALSE(EvaluateCondition(V{401, kLess, 1401 + 60}, timer));
    EXPECT_FALSE(ParseTerms("101::205"));
}

TEST(SimCommandHandler, FramesRepliesAppliesFaultsAndBringsTimeUpAtTheSpeed) {
    auto wire = [](const DecodedCommand& command, FaultOptions faults, InstrumentModel model = {}) {
        Responder responder(std::move(model));
        FaultInjector injector(faults);
        const Answer answer = CommandHandler(responder, injector).Handle(command);
        return answer.silent ? std::vector<std::uint8_t>{} : answer.plan.chunks.at(0).bytes;
    };
    EXPECT_EQ(wire({"J", true}, {}), link::BuildReplyFrame('A', "4"));
    EXPECT_EQ(wire({"@", false}, {}), link::BuildReplyFrame('F', "")) << "bad check bytes";
    EXPECT_EQ(wire({"@", true}, {}, {std::string(250, '9')}), link::BuildReplyFrame('G', ""));
    FaultOptions faults;
    faults[FailureMode::Damage] = 1;
    EXPECT_EQ(wire({"J", true}, faults), link::BuildReplyFrame('F', ""));
    faults[FailureMode::Silent] = 1;
    EXPECT_TRUE(wire({"J", true}, faults).empty());

    Responder responder({});
    FaultInjector none({});
    CommandHandler fast(responder, none, 100.0);
    ASSERT_EQ(fast.Handle({"U 0", true}).reply, Ok());
    // Half a second at speed 100 is 50 simulated seconds.
    const Reply later = fast.Handle({"V", true}, std::chrono::milliseconds(500)).reply;
    EXPECT_EQ(util::GetField(later.data, 2, ' '), "50.0");
}

}  // namespace
}  // namespace delvar::sim
