// Processes, layers, films and materials: command texts, reply parsing, failures.
#include <gtest/gtest.h>

#include "commands/CommandRig.h"
#include "commands/modCommFilm.h"
#include "commands/modCommProcess.h"
#include "setup/LayerChains.h"

namespace delvar::commands {
namespace {

using namespace delvar::testing;

TEST(ProcessCommands, ReadAndWriteFieldByField) {
    CommandRig r;
    r.respond = [](const std::string& c) -> Answer {
        if (c == "C5? 1") return {'A', "  Gold Mirror  "};
        return {'A', c == "C5? 3" ? "12" : "4.5"};
    };
    EXPECT_EQ(ReadProcess(r.link, *r.setup, 5, 0), 0);
    EXPECT_EQ(r.sent, (Texts{"C5? 1", "C5? 2", "C5? 3", "C5? 4"}));
    const auto& p = r.setup->processes[5];
    EXPECT_EQ(p.Process_Name, "Gold Mirror     ");
    EXPECT_EQ(p.First_Layer, 12);
    EXPECT_EQ(p.Number_Act_Layers, 4);  // 4.5 rounds half to even
    r.sent.clear();
    r.respond = [](const std::string&) { return Answer{}; };
    EXPECT_EQ(WriteProcess(r.link, *r.setup, 5, 0), 0);
    EXPECT_EQ(r.sent, (Texts{"C5 1,Gold Mirror     ", "C5 2,4", "C5 3,12", "C5 4,4"}));
    r.sent.clear();
    r.AnswerAlways({'C', ""});
    EXPECT_EQ(ReadProcess(r.link, *r.setup, 5, 0), link::kBadCommand);
    EXPECT_EQ(r.sent.size(), 1u) << "the first failure ends the sequence";
    EXPECT_EQ(ReadProcess(r.link, *r.setup, 100, 0), link::kBadData);
    EXPECT_EQ(WriteLayer(r.link, *r.setup, 1000, 0), link::kBadData);
    EXPECT_EQ(r.sent.size(), 1u) << "nothing sent for numbers outside the tables";
}

TEST(ProcessCommands, LayerReadAndWriteTexts) {
    CommandRig r;
    r.setup->layers[7].Rate = 10.5;
    r.setup->layers[7].Final_Thick = 1.5;
    EXPECT_EQ(WriteLayer(r.link, *r.setup, 7, 0), 0);
    ASSERT_EQ(r.sent.size(), 2u);
    EXPECT_EQ(r.sent[0].rfind("D7  1,105 2,1500 3,0 ", 0), 0u) << r.sent[0];
    EXPECT_NE(r.sent[0].find(" 29,0"), std::string::npos);
    EXPECT_EQ(r.sent[1], "D7  30,0 31,0 32,0 33,0 34,100 35,100");
    r.sent.clear();
    r.respond = [](const std::string& c) -> Answer {
        if (c.rfind("D7? 1 2 3", 0) == 0) return {'A', "1,120 2,2500 22,8 99,5 junk 6,3"};
        return {'A', "6,4"};
    };
    EXPECT_EQ(ReadLayer(r.link, *r.setup, 7, 0), 0);
    EXPECT_EQ(r.sent[0].size(), std::string("D7?").size() + 9 * 2 + 26 * 3);  // 1 .. 35
    EXPECT_DOUBLE_EQ(r.setup->layers[7].Rate, 12.0);
    EXPECT_EQ(r.setup->layers[7].Next_Layer, 8);
    EXPECT_EQ(r.setup->layers[7].Output_Number, 3) << "unknown items do not shift the others";
    EXPECT_EQ(ReadLayer(r.link, *r.setup, 7, 6), 0);
    EXPECT_EQ(r.sent[1], "D7? 6");
    EXPECT_EQ(r.setup->layers[7].Output_Number, 4);
    r.sent.clear();
    r.AnswerAlways({'B', ""});
    EXPECT_EQ(WriteLayer(r.link, *r.setup, 7, 0), link::kNotReady);
    EXPECT_EQ(r.sent.size(), 1u) << "a failed first half ends the write";
}

TEST(ProcessCommands, ModelCheckAndSelection) {
    CommandRig r;
    setup::SetupData& s = *r.setup;
    int first = setup::InsertLayer(s, 1, 0);
    int second = setup::InsertLayer(s, 1, first);
    link::InstrumentInfo two{true, "", 2, false}, four{true, "", 4, false},
        codep{true, "", 4, true};
    EXPECT_EQ(CheckProcessModel(two, s, 1), 0);
    s.layers[second].Output_Number = 3;
    EXPECT_EQ(CheckProcessModel(two, s, 1), link::kFourChannelsRequired);
    EXPECT_EQ(CheckProcessModel(four, s, 1), 0);
    s.layers[second].Output_Number = 1;
    setup::InsertCoDepLayer(s, 1, first);
    EXPECT_EQ(CheckProcessModel(four, s, 1), link::kCoDepRequired);
    EXPECT_EQ(CheckProcessModel(codep, s, 1), 0);

    r.respond = [](const std::string& c) { return Answer{c == "T 7" ? 'E' : 'A', "2"}; };
    EXPECT_EQ(BeginTransfer(r.link), 0);
    EXPECT_EQ(EndTransfer(r.link), 0);
    EXPECT_EQ(Comm_SelectProcess(r.link, s, 7), 0) << "a refused T still re-reads";
    EXPECT_EQ(r.sent, (Texts{"XSTART", "XSTOP", "T 7", "C7? 1", "C7? 2", "C7? 3", "C7? 4"}));
}

TEST(FilmCommands, ReadAllGroupsWithTheChannelCountDecidingA5) {
    for (int channels : {2, 4}) {
        CommandRig r(channels);
        r.respond = [](const std::string& c) -> Answer {
            if (c == "A1 5?") return {'A', " Gold  "};
            if (c.rfind("A2 5?", 0) == 0) return {'A', "1,25 2,15 4,7 9,99 10,3"};
            if (c.rfind("A3 5?", 0) == 0) return {'A', "1,455 2,30"};
            return {'A', c.rfind("A4", 0) == 0 ? "2,25" : "3,2 16,1"};
        };
        EXPECT_EQ(ReadFilm(r.link, *r.setup, 5), 0);
        EXPECT_EQ(r.sent, (Texts{"A1 5?", "A2 5? 1 2 3 4 5 6 7 8 10 11",
                                 "A3 5? 1 2 3 4 5 6 7 8 9 10 11", "A4 5? 1 2 3 4 5 6 7 8",
                                 channels == 4 ? "A5 5? 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16"
                                               : "A5 5? 1 2 3 4 5 6 7 8"}));
        const setup::FilmRec& f = r.setup->films[5];
        EXPECT_EQ(f.Film_Name, setup::FixedName("Gold"));
        EXPECT_EQ(f.Iterm, 1.5);
        EXPECT_EQ(f.Quality_Cts, 3);
        EXPECT_EQ(f.Ramp1_Power, 45.5);
        EXPECT_EQ(f.Capture, 2.5);
        EXPECT_EQ(f.Sens4_BkPos, 1);
    }
}

TEST(FilmCommands, WriteSendsEveryGroupAndStopsAtAFailure) {
    CommandRig r(2);
    setup::FilmRec& f = r.setup->films[5];
    f.Film_Name = setup::FixedName("Gold");
    f.Iterm = 1.25;
    f.Control_Delay = 9;
    EXPECT_EQ(WriteFilm(r.link, *r.setup, 5), 0);
    ASSERT_EQ(r.sent.size(), 5u);
    EXPECT_EQ(r.sent[0], "A1 5 Gold");
    EXPECT_EQ(r.sent[1], "A2 5 1,0 2,12 3,0 4,1 5,0 6,100 7,0 8,0 10,0 11,0");
    EXPECT_NE(r.sent[3].find(" 9,9"), std::string::npos);
    EXPECT_EQ(r.sent[4], "A5 5 1,0 2,0 3,0 4,0 5,0 6,0 7,0 8,0");
    r.sent.clear();
    r.respond = [](const std::string& c) { return Answer{c.rfind("A2", 0) == 0 ? 'D' : 'A', ""}; };
    EXPECT_EQ(WriteFilm(r.link, *r.setup, 5), link::kBadData);
    EXPECT_EQ(ReadFilm(r.link, *r.setup, 5), link::kBadData);
    EXPECT_EQ(r.sent.size(), 4u) << "the first failing group ends a read or write";
    EXPECT_EQ(GetFilmParam(f, 209), "") << "A2 parameter 9 is never stored";

    link::InstrumentInfo two{true, "", 2, false}, four{true, "", 4, false};
    r.setup->films[3].Sens2_Back = 3;
    EXPECT_EQ(CheckFilmModel(two, *r.setup, 3), link::kFourChannelsRequired);
    EXPECT_EQ(CheckFilmModel(four, *r.setup, 3), 0);
}

TEST(MaterialCommands, ReadAcceptsOnlyPlausibleValuesAndAsksToRetry) {
    CommandRig r;
    int densityAsks = 0;
    r.respond = [&](const std::string& c) -> Answer {
        if (c == "F12? 1") return {'A', "Silver"};
        if (c == "F12? 2") return {'A', densityAsks++ == 0 ? "39" : "1050 x"};
        return {'A', "10000"};
    };
    r.dialogs.answers = {core::MessageAnswer::Yes, core::MessageAnswer::No};
    EXPECT_EQ(ReadMaterial(r.link, r.dialogs, *r.setup, 12, 0), 0);
    EXPECT_EQ(r.sent, (Texts{"F12? 1", "F12? 2", "F12? 2", "F12? 3"}));
    const setup::MaterialRec& m = r.setup->materials[12];
    EXPECT_EQ(m.Material, setup::FixedName("Silver"));
    EXPECT_EQ(m.Density, 10.5);
    EXPECT_EQ(m.ZFactor, 1.0) << "10.0 refused, retry declined";
    EXPECT_EQ(r.dialogs.Texts(), (Texts{"Silver           Density = 0.39 upload failed.  Retry?",
                                        "Silver           ZFactor = 10 upload failed.  Retry?"}));
    r.AnswerAlways({'A', "   "});
    r.dialogs.answers = {core::MessageAnswer::No};
    EXPECT_EQ(ReadMaterial(r.link, r.dialogs, *r.setup, 3, 1), 0);
    EXPECT_EQ(r.setup->materials[3].Material, setup::FixedName("Material 3"));
    EXPECT_EQ(r.dialogs.Texts().back(), "Material # 3 name upload failed.  Retry?");
}

TEST(MaterialCommands, WriteRetriesUntilDeclined) {
    CommandRig r;
    r.setup->materials[12].Material = setup::FixedName("Gold");
    r.setup->materials[12].Density = 2.70;
    int calls = 0;
    r.respond = [&](const std::string&) { return Answer{calls++ < 2 ? 'D' : 'A', ""}; };
    r.dialogs.answers = {core::MessageAnswer::Yes};
    EXPECT_EQ(WriteMaterial(r.link, r.dialogs, *r.setup, 12, 2), 0);
    EXPECT_EQ(r.sent, (Texts{"F12 2,270", "F12 2,270", "F12 2,270"}));
    EXPECT_EQ(r.dialogs.Texts().front(), "Gold             Density = 2.7 download failed.  Retry?");
    r.sent.clear();
    r.AnswerAlways({'E', ""});
    r.dialogs.answers = {core::MessageAnswer::No};
    EXPECT_EQ(WriteMaterial(r.link, r.dialogs, *r.setup, 12, 0), link::kBadMode);
    EXPECT_EQ(r.sent, Texts{"F12 1,Gold            "});
}

}  // namespace
}  // namespace delvar::commands
