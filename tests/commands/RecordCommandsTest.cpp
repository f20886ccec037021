// Processes, layers, films and materials: command texts, reply parsing, failures, and the
// one conversion of record values to wire integers across the command modules.
#include <gtest/gtest.h>

#include <cmath>

#include "commands/CommandRig.h"
#include "commands/WireNumbers.h"
#include "commands/modCommFilm.h"
#include "commands/modCommOperate.h"
#include "commands/modCommProcess.h"
#include "commands/modCommSystem.h"
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
    r.sent.clear();
    r.respond = [](const std::string&) { return Answer{}; };
    EXPECT_EQ(WriteProcess(r.link, *r.setup, 5, 0), 0);
    // Read back as written: the name trimmed and padded, 4.5 rounded half to even.
    EXPECT_EQ(r.sent, (Texts{"C5 1,Gold Mirror     ", "C5 2,4", "C5 3,12", "C5 4,4"}));
    r.sent.clear();
    r.AnswerAlways({'C', ""});
    EXPECT_EQ(ReadProcess(r.link, *r.setup, 5, 0), link::kBadCommand);
    EXPECT_EQ(r.sent.size(), 1u) << "the first failure ends the sequence";
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
    EXPECT_EQ(r.sent[1], "D7  30,0 31,0 32,0 33,0 34,100 35,100");
    r.sent.clear();
    r.respond = [](const std::string& c) -> Answer {
        if (c.rfind("D7? 1 2 3", 0) == 0) return {'A', "1,120 2,2500 22,8 99,5 junk 6,3"};
        return {'A', ""};
    };
    EXPECT_EQ(ReadLayer(r.link, *r.setup, 7, 0), 0);
    EXPECT_DOUBLE_EQ(r.setup->layers[7].Rate, 12.0);
    EXPECT_EQ(r.setup->layers[7].Output_Number, 3) << "unknown items do not shift the others";
}

TEST(ProcessCommands, ModelCheckAndSelection) {
    CommandRig r;
    setup::SetupData& s = *r.setup;
    const int first = setup::InsertLayer(s, 1, 0);
    s.layers[setup::InsertLayer(s, 1, first)].Output_Number = 3;
    EXPECT_EQ(CheckProcessModel({true, "", 2, false}, s, 1), link::kFourChannelsRequired);
    setup::InsertCoDepLayer(s, 1, first);
    EXPECT_EQ(CheckProcessModel({true, "", 4, false}, s, 1), link::kCoDepRequired);
    r.respond = [](const std::string& c) { return Answer{c == "T 7" ? 'E' : 'A', "2"}; };
    EXPECT_EQ(Comm_SelectProcess(r.link, s, 7), 0) << "a refused T still re-reads";
    EXPECT_EQ(r.sent, (Texts{"T 7", "C7? 1", "C7? 2", "C7? 3", "C7? 4"}));
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
        EXPECT_EQ(f.Sens4_BkPos, 1);
    }
}

TEST(FilmCommands, WriteSendsEveryGroupAndStopsAtAFailure) {
    CommandRig r(2);
    setup::FilmRec& f = r.setup->films[5];
    f.Iterm = 1.25;
    f.Control_Delay = 9;  // A4 writes item 9, which its read does not ask for
    EXPECT_EQ(WriteFilm(r.link, *r.setup, 5), 0);
    EXPECT_EQ(r.sent, (Texts{"A1 5 Film 5", "A2 5 1,0 2,12 3,0 4,1 5,0 6,100 7,0 8,0 10,0 11,0",
                             "A3 5 1,0 2,0 3,0 4,0 5,0 6,0 7,0 8,0 9,0 10,0 11,0",
                             "A4 5 1,0 2,0 3,0 4,0 5,0 6,0 7,0 8,0 9,9",
                             "A5 5 1,0 2,0 3,0 4,0 5,0 6,0 7,0 8,0"}));
    r.sent.clear();
    r.respond = [](const std::string& c) { return Answer{c.rfind("A2", 0) == 0 ? 'D' : 'A', ""}; };
    EXPECT_EQ(WriteFilm(r.link, *r.setup, 5), link::kBadData);
    EXPECT_EQ(ReadFilm(r.link, *r.setup, 5), link::kBadData);
    EXPECT_EQ(r.sent.size(), 4u) << "the first failing group ends a read or write";
    EXPECT_EQ(GetFilmParam(f, 209), "") << "A2 parameter 9 is never stored";
    link::InstrumentInfo two{true, "", 2, false};
    r.setup->films[3].Sens2_Back = 3;
    EXPECT_EQ(CheckFilmModel(two, *r.setup, 3), link::kFourChannelsRequired);
}

TEST(MaterialCommands, ReadAcceptsOnlyPlausibleValuesAndAsksToRetry) {
    CommandRig r;
    int asks = 0;
    r.respond = [&](const std::string& c) -> Answer {
        return {'A', c == "F12? 1" ? "Silver" : c == "F12? 3" ? "10000" : asks++ ? "1050 x" : "39"};
    };
    r.dialogs.answers = {core::MessageAnswer::Yes, core::MessageAnswer::No};
    EXPECT_EQ(ReadMaterial(r.link, r.dialogs, *r.setup, 12, 0), 0);
    EXPECT_EQ(r.sent, (Texts{"F12? 1", "F12? 2", "F12? 2", "F12? 3"}));
    const setup::MaterialRec& m = r.setup->materials[12];
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
}

TEST(WireValues, ScaledValuesGoOutAsRoundedIntegers) {
    CommandRig r;
    setup::SetupData& s = *r.setup;
    s.sensors[2].Shutter_Delay = 1.001;  // x 1000 is 1000.9999999999999
    s.sources[1].Shutter_Delay = 2.01;   // 2009.9999999999998
    s.sources[1].Voltage_Scale = 0.7;    // x 10 is 7.000000000000001
    s.relays[3].Width = 2.007;           // 2007.0000000000002
    s.films[4].Pterm = 40.6;             // an unscaled floating field goes out whole
    s.layers[5].Rate = 10.25;
    WriteSensor(r.link, s.sensors, 2, 4);
    WriteSource(r.link, s.sources, 1, 4);
    WriteSource(r.link, s.sources, 1, 1);
    WriteRelay(r.link, s.relays, 3, 4);
    WriteLayer(r.link, s, 5, 1);
    Comm_SetPower(r.link, 2, 12.25);
    Comm_SetPower(r.link, 2, 12.75);
    EXPECT_EQ(r.sent, (Texts{"HA2 4,1001", "HB1 4,2010", "HB1 1,7", "GB3 4,2007", "D5  1,102",
                             "S2 122", "S2 128"}));
    EXPECT_EQ(GetFilmParam(s.films[4], 201), "41");
    EXPECT_EQ(WireValue(1e300, 10), INT32_MAX) << "held within a Long";
    EXPECT_EQ(WireValue(std::nan(""), 10), 0);
}

TEST(WireValues, ReceivedValuesAreDividedByTheScale) {
    setup::FilmRec f;
    SetFilmParam(f, 202, "3");  // 3 x 0.1 would be 0.30000000000000004
    EXPECT_EQ(f.Iterm, 0.3);
    SetFilmParam(f, 201, "7.5");  // taken whole first
    EXPECT_EQ(f.Pterm, 8);
    setup::SystemRec system;
    SetSystemParam(system, 20, "7");
    EXPECT_EQ(system.Alpha, 0.07);
}

TEST(WireValues, RetryQuestionsShowTheValueAsTheRecordHoldsIt) {
    CommandRig r;
    r.respond = [](const std::string& c) -> Answer { return {'A', c == "F2? 2" ? "35" : "9999"}; };
    r.dialogs.answers = {core::MessageAnswer::No};
    EXPECT_EQ(ReadMaterial(r.link, r.dialogs, *r.setup, 2, 2), 0);
    EXPECT_EQ(ReadMaterial(r.link, r.dialogs, *r.setup, 2, 3), 0);
    EXPECT_EQ(r.setup->materials[2].ZFactor, 9.999) << "not 9.999000000000001";
    r.setup->materials[2].Density = 0.1 + 0.2;
    r.AnswerAlways({'D', ""});
    r.dialogs.answers = {core::MessageAnswer::No};
    EXPECT_EQ(WriteMaterial(r.link, r.dialogs, *r.setup, 2, 2), link::kBadData);
    EXPECT_EQ(r.sent.back(), "F2 2,30");
    EXPECT_EQ(r.dialogs.Texts(),
              (Texts{"Material 2       Density = 0.35 upload failed.  Retry?",
                     "Material 2       Density = 0.3 download failed.  Retry?"}));
}

}  // namespace
}  // namespace delvar::commands
