#include <gtest/gtest.h>

#include <algorithm>

#include "link/Frame.h"
#include "sim/FaultInjector.h"
#include "sim/FrameDecoder.h"
#include "sim/Responder.h"
#include "sim/SimOptions.h"

namespace delvar::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<DecodedCommand> FeedAll(FrameDecoder& decoder, const Bytes& bytes) {
    std::vector<DecodedCommand> out;
    for (auto b : bytes)
        if (auto c = decoder.Feed(b)) out.push_back(*c);
    return out;
}

TEST(SimFrameDecoder, GoodZeroAndBadCheckBytes) {
    FrameDecoder d;
    auto good = FeedAll(d, link::BuildCommandFrame("C5? 2", true));
    ASSERT_EQ(good.size(), 1u);
    EXPECT_EQ(good[0].text, "C5? 2");
    EXPECT_TRUE(good[0].checkOk);
    auto zeros = FeedAll(d, link::BuildCommandFrame("J", false));
    ASSERT_EQ(zeros.size(), 1u);
    EXPECT_TRUE(zeros[0].checkOk);
    Bytes bad = link::BuildCommandFrame("J", true);
    bad[3] ^= 1;
    auto refused = FeedAll(d, bad);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_FALSE(refused[0].checkOk);
}

TEST(SimFrameDecoder, ResynchronisesAndSurvivesImpossibleLengths) {
    FrameDecoder d;
    Bytes stream = {'n', 'o', 'i', 's', 'e', 0x21, 40, 'X'};  // a frame cut short by a sync
    Bytes good = link::BuildCommandFrame("V", true);
    stream.insert(stream.end(), good.begin(), good.end());
    stream.insert(stream.end(), {0x21, 34, 0x21, 255, 0x21, 33 + 0});  // length 0, 221+34, sync
    auto commands = FeedAll(d, stream);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].text, "V");
    // A frame fed across several reads.
    Bytes split = link::BuildCommandFrame("S1 450", true);
    EXPECT_TRUE(FeedAll(d, Bytes(split.begin(), split.begin() + 3)).empty());
    auto rest = FeedAll(d, Bytes(split.begin() + 3, split.end()));
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].text, "S1 450");
}

TEST(SimResponder, VersionChannelsAndUnknownCommands) {
    Responder plain({"6.30", 4, false});
    Reply version = plain.Respond("@");
    EXPECT_EQ(version.status, 'A');
    EXPECT_EQ(version.data, "DELVAR  Ver 6.30");
    EXPECT_EQ(plain.Respond("J").data, "4");
    EXPECT_EQ(plain.Respond("ZZ").status, 'C');
    Responder codep({"6.12", 2, true});
    EXPECT_EQ(codep.Respond("@").data, "DELVARC Ver 6.12");
    EXPECT_EQ(codep.Respond("@").data[6], 'C');
    EXPECT_EQ(codep.Respond("J").data, "2");
}

TEST(SimFaultInjector, EveryNthCommandAndReply) {
    FaultInjector faults({.silentEvery = 3,
                          .corruptEvery = 2,
                          .damageEvery = 0,
                          .garbageEvery = 0,
                          .split = false,
                          .dropAfter = 3,
                          .seed = 1});
    std::vector<bool> silent;
    for (int i = 0; i < 6; ++i) silent.push_back(faults.SilenceCommand());
    EXPECT_EQ(silent, (std::vector<bool>{false, false, true, false, false, true}));
    Bytes frame = link::BuildReplyFrame('A', "4");
    for (int i = 1; i <= 4; ++i) {
        ReplyPlan plan = faults.Plan(frame);
        ASSERT_EQ(plan.chunks.size(), 1u);
        Bytes sent = plan.chunks[0].bytes;
        link::CheckBytes check = link::FrameCheck(sent);
        bool intact = check.first == sent[sent.size() - 2] && check.second == sent.back();
        EXPECT_EQ(intact, i % 2 == 1) << i;
        EXPECT_GE(sent.back(), 34);
        EXPECT_LE(sent.back(), 161);
        EXPECT_EQ(plan.dropAfter, i == 3);
    }
}

TEST(SimFaultInjector, SplitAndNoiseKeepTheReplyWholeAndDeterministic) {
    FaultOptions options{.garbageEvery = 1, .split = true, .seed = 42};
    FaultInjector a(options), b(options);
    Bytes frame = link::BuildReplyFrame('A', "12.5 3.2 100");
    for (int i = 0; i < 200; ++i) {
        ReplyPlan pa = a.Plan(frame), pb = b.Plan(frame);
        ASSERT_GE(pa.chunks.size(), 2u);
        ASSERT_LE(pa.chunks.size(), 4u);
        Bytes joined;
        for (std::size_t k = 0; k < pa.chunks.size(); ++k) {
            EXPECT_EQ(pa.chunks[k].bytes, pb.chunks[k].bytes);  // same seed, same plan
            EXPECT_FALSE(pa.chunks[k].bytes.empty());
            if (k > 0) {
                EXPECT_GE(pa.chunks[k].delayMs, 1);
                EXPECT_LE(pa.chunks[k].delayMs, 5);
            }
            joined.insert(joined.end(), pa.chunks[k].bytes.begin(), pa.chunks[k].bytes.end());
        }
        std::size_t noise = joined.size() - frame.size();
        ASSERT_GE(noise, 1u);
        ASSERT_LE(noise, 8u);
        EXPECT_TRUE(std::equal(frame.begin(), frame.end(), joined.begin() + long(noise)));
        EXPECT_EQ(std::count(joined.begin(), joined.begin() + long(noise), 0x21), 0);
        EXPECT_EQ(std::count(joined.begin(), joined.begin() + long(noise), 0x00), 0);
    }
}

TEST(SimOptionsParsing, EndpointsModelAndErrors) {
    std::string error;
    auto defaults = ParseSimOptions({}, error);
    ASSERT_TRUE(defaults);
    EXPECT_TRUE(defaults->server.tcp);
    EXPECT_EQ(defaults->server.port, 2101);
    auto ptyOnly = ParseSimOptions({"--pty", "/tmp/x"}, error);
    ASSERT_TRUE(ptyOnly);
    EXPECT_FALSE(ptyOnly->server.tcp);
    auto both =
        ParseSimOptions({"--pty", "/tmp/x", "--port", "0", "--codep", "--channels", "2"}, error);
    ASSERT_TRUE(both);
    EXPECT_TRUE(both->server.tcp);
    EXPECT_TRUE(both->model.codep);
    EXPECT_EQ(both->model.channels, 2);
    for (std::vector<std::string> bad : {std::vector<std::string>{"--channels", "3"},
                                         {"--channels", "8"},
                                         {"--port", "70000"},
                                         {"--silent-every", "0"},
                                         {"--seed"},
                                         {"--what"}}) {
        EXPECT_FALSE(ParseSimOptions(bad, error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace delvar::sim
