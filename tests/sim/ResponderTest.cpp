#include <gtest/gtest.h>

#include "link/Frame.h"
#include "sim/CommandHandler.h"
#include "sim/Responder.h"

namespace delvar::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(SimResponder, VersionTextMarksTheModelAndEndsWithTheFirmware) {
    EXPECT_EQ(Responder({}).Respond("@"), (Reply{'A', "DELVAR  Ver 6.30"}));
    EXPECT_EQ(Responder({"6.30", 4, true}).Respond("@"), (Reply{'A', "DELVARC Ver 6.30"}));
    const std::string text = Responder({"6.31", 2, true}).VersionText();
    ASSERT_GE(text.size(), 7u);
    EXPECT_EQ(text[6], 'C');
    EXPECT_EQ(text.substr(text.size() - 5), " 6.31");
    EXPECT_EQ(Responder({"10.2b", 4, false}).VersionText(), "DELVAR  Ver 10.2b");
}

TEST(SimResponder, ChannelQueryGivesTheOutputCount) {
    for (int channels : {1, 2, 4}) {
        EXPECT_EQ(Responder({"6.30", channels, false}).Respond("J"),
                  (Reply{'A', std::to_string(channels)}));
    }
}

TEST(SimResponder, UnknownOrMisshapenCommandsAreBadCommandsWithoutData) {
    Responder responder({});
    for (const char* command :
         {"X",     "j",    "@ ",   " J", "JJ", "V ",      "XSTARTX", "",   "U",
          "U  1",  "U x",  "T",    "T5", "S",  "S1",      "S1 4.5",  "C5", "C5?",
          "Cx? 1", "A1 5", "A15?", "B",  "Bx", "D7? 1 x", "GC5",     "I3", "K3"}) {
        EXPECT_EQ(responder.Respond(command), (Reply{'C', ""})) << '"' << command << '"';
    }
}

class SimCommandHandler : public ::testing::Test {
  protected:
    Answer Handle(const DecodedCommand& command, FaultOptions faults = {},
                  InstrumentModel model = {}) {
        Responder responder(std::move(model));
        FaultInjector injector(faults);
        return CommandHandler(responder, injector).Handle(command);
    }
    static Bytes WireBytes(const Answer& answer) {
        Bytes all;
        for (const Chunk& chunk : answer.plan.chunks)
            all.insert(all.end(), chunk.bytes.begin(), chunk.bytes.end());
        return all;
    }
};

TEST_F(SimCommandHandler, AGoodCommandGetsTheFramedReply) {
    const Answer answer = Handle({"J", true});
    EXPECT_FALSE(answer.silent);
    EXPECT_EQ(answer.reply, (Reply{'A', "4"}));
    EXPECT_EQ(WireBytes(answer), link::BuildReplyFrame('A', "4"));
    EXPECT_FALSE(answer.plan.dropAfter);
}

TEST_F(SimCommandHandler, ACommandWithBadCheckBytesGetsTransmitErrorAndNoData) {
    const Answer answer = Handle({"@", false});
    EXPECT_EQ(answer.reply, (Reply{'F', ""}));
    EXPECT_EQ(WireBytes(answer), link::BuildReplyFrame('F', ""));
}

TEST_F(SimCommandHandler, InjectedSilenceAndDamageOverrideTheReply) {
    FaultOptions silent;
    silent[FailureMode::Silent] = 1;
    const Answer quiet = Handle({"J", true}, silent);
    EXPECT_TRUE(quiet.silent);
    EXPECT_TRUE(quiet.plan.chunks.empty());

    FaultOptions damage;
    damage[FailureMode::Damage] = 1;
    EXPECT_EQ(Handle({"J", true}, damage).reply, (Reply{'F', ""}));
}

TEST_F(SimCommandHandler, AReplyTooLongForAFrameBecomesMessageTooLong) {
    InstrumentModel model;
    model.firmware = std::string(250, '9');
    const Answer answer = Handle({"@", true}, {}, model);
    EXPECT_EQ(answer.reply, (Reply{'G', ""}));
    EXPECT_EQ(WireBytes(answer), link::BuildReplyFrame('G', ""));
}

}  // namespace
}  // namespace delvar::sim
