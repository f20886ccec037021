#include <gtest/gtest.h>

#include <memory>

#include "commands/modCommFilm.h"
#include "support/LinkRig.h"
#include "support/ScriptedDialogs.h"

namespace delvar::commands {
namespace {

using namespace delvar::testing;

struct FilmRig : LinkRig {
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    ScriptedDialogs dialogs;
    std::vector<std::string> sent;
    std::function<Answer(const std::string&)> respond = [](const std::string&) { return Answer{}; };
    explicit FilmRig(int channels = 4) {
        setup::ResetSetupData(*setup);
        link.MutableInfo().ChannelCount = channels;
        AnswerOn(tcp, [this](const std::string& command) {
            sent.push_back(command);
            return respond(command);
        });
    }
};

TEST(FilmCommands, ReadAllGroupsWithTheChannelCountDecidingA5) {
    for (int channels : {2, 4}) {
        FilmRig r(channels);
        r.respond = [](const std::string& c) -> Answer {
            if (c == "A1 5?") return {'A', " Gold  "};
            if (c.rfind("A2 5?", 0) == 0) return {'A', "1,25 2,15 4,7 9,99 10,3"};
            if (c.rfind("A3 5?", 0) == 0) return {'A', "1,455 2,30"};
            if (c.rfind("A4 5?", 0) == 0) return {'A', "2,25"};
            return {'A', "3,2 16,1"};
        };
        EXPECT_EQ(ReadFilm(r.link, *r.setup, 5), 0);
        ASSERT_EQ(r.sent.size(), 5u);
        EXPECT_EQ(r.sent[1], "A2 5? 1 2 3 4 5 6 7 8 10 11");
        EXPECT_EQ(r.sent[2], "A3 5? 1 2 3 4 5 6 7 8 9 10 11");
        EXPECT_EQ(r.sent[3], "A4 5? 1 2 3 4 5 6 7 8");
        EXPECT_EQ(r.sent[4], channels == 4 ? "A5 5? 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16"
                                           : "A5 5? 1 2 3 4 5 6 7 8");
        const setup::FilmRec& f = r.setup->films[5];
        EXPECT_EQ(f.Film_Name, setup::FixedName("Gold"));
        EXPECT_DOUBLE_EQ(f.Pterm, 25);
        EXPECT_DOUBLE_EQ(f.Iterm, 1.5);
        EXPECT_EQ(f.Material_Index, 7);
        EXPECT_EQ(f.Quality_Cts, 3);
        EXPECT_DOUBLE_EQ(f.Ramp1_Power, 45.5);
        EXPECT_DOUBLE_EQ(f.Ramp1_Time, 30);
        EXPECT_DOUBLE_EQ(f.Capture, 2.5);
        EXPECT_EQ(f.Sens1_Back, 2);
        EXPECT_EQ(f.Sens4_BkPos, 1);
    }
}

TEST(FilmCommands, ReadStopsAtTheFirstFailingGroup) {
    FilmRig r;
    r.respond = [](const std::string& c) -> Answer {
        if (c.rfind("A3", 0) == 0) return {'D', ""};
        if (c == "A1 5?") return {'A', "Name"};
        return {'A', "1,40"};
    };
    EXPECT_EQ(ReadFilm(r.link, *r.setup, 5), link::kBadData);
    EXPECT_EQ(r.sent.size(), 3u);
    EXPECT_DOUBLE_EQ(r.setup->films[5].Pterm, 40);  // earlier groups stay stored
}

TEST(FilmCommands, WriteSendsEveryGroup) {
    FilmRig r(2);
    setup::FilmRec& f = r.setup->films[5];
    f.Film_Name = setup::FixedName("Gold");
    f.Iterm = 1.25;
    f.Ramp1_Time = 3;
    f.Control_Delay = 9;
    EXPECT_EQ(WriteFilm(r.link, *r.setup, 5), 0);
    ASSERT_EQ(r.sent.size(), 5u);
    EXPECT_EQ(r.sent[0], "A1 5 Gold");
    EXPECT_EQ(r.sent[1], "A2 5 1,0 2,12 3,0 4,1 5,0 6,100 7,0 8,0 10,0 11,0");
    EXPECT_EQ(r.sent[2].rfind("A3 5 1,0 2,3 3,0", 0), 0u) << r.sent[2];
    EXPECT_NE(r.sent[3].find(" 9,9"), std::string::npos);
    EXPECT_EQ(r.sent[4], "A5 5 1,0 2,0 3,0 4,0 5,0 6,0 7,0 8,0");
    r.sent.clear();
    r.respond = [](const std::string& c) { return Answer{c.rfind("A2", 0) == 0 ? 'D' : 'A', ""}; };
    EXPECT_EQ(WriteFilm(r.link, *r.setup, 5), link::kBadData);
    EXPECT_EQ(r.sent.size(), 2u);
}

TEST(FilmCommands, ParameterCodesAndModelCheck) {
    setup::FilmRec f;
    SetFilmParam(f, 312, "255");  // a field kept only in memory and the database
    EXPECT_DOUBLE_EQ(f.Ramp3_Power, 25.5);
    EXPECT_EQ(GetFilmParam(f, 312), "255");
    f.Soak3_Time = 2.5;
    EXPECT_EQ(GetFilmParam(f, 314), "2.5");
    SetFilmParam(f, 209, "5");  // never stored
    EXPECT_EQ(GetFilmParam(f, 209), "");
    EXPECT_EQ(GetFilmParam(f, 101).size(), 16u);

    auto s = std::make_unique<setup::SetupData>();
    setup::ResetSetupData(*s);
    link::InstrumentInfo two{true, "", 2, false}, four{true, "", 4, false};
    s->films[3].Sens2_Back = 3;
    EXPECT_EQ(CheckFilmModel(two, *s, 3), link::kFourChannelsRequired);
    EXPECT_EQ(CheckFilmModel(four, *s, 3), 0);
    s->films[3].Sens2_Back = 2;
    EXPECT_EQ(CheckFilmModel(two, *s, 3), 0);
}

TEST(MaterialCommands, ReadAcceptsOnlyPlausibleValuesAndAsksToRetry) {
    FilmRig r;
    int densityAsks = 0;
    r.respond = [&](const std::string& c) -> Answer {
        if (c == "F12? 1") return {'A', "Silver"};
        if (c == "F12? 2") return {'A', densityAsks++ == 0 ? "39" : "1050 x"};
        return {'A', "10000"};
    };
    r.dialogs.answers = {core::MessageAnswer::Yes, core::MessageAnswer::No};
    EXPECT_EQ(ReadMaterial(r.link, r.dialogs, *r.setup, 12, 0), 0);
    EXPECT_EQ(r.sent, (std::vector<std::string>{"F12? 1", "F12? 2", "F12? 2", "F12? 3"}));
    const setup::MaterialRec& m = r.setup->materials[12];
    EXPECT_EQ(m.Material, setup::FixedName("Silver"));
    EXPECT_DOUBLE_EQ(m.Density, 10.5);
    EXPECT_DOUBLE_EQ(m.ZFactor, 1.0);  // 10.0 refused, retry declined
    EXPECT_EQ(r.dialogs.Texts(),
              (std::vector<std::string>{"Silver           Density = 0.39 upload failed.  Retry?",
                                        "Silver           ZFactor = 10 upload failed.  Retry?"}));
}

TEST(MaterialCommands, DecliningTheNameRetryKeepsTheRecord) {
    FilmRig r;
    r.respond = [](const std::string&) { return Answer{'A', "   "}; };
    r.dialogs.answers = {core::MessageAnswer::No};
    EXPECT_EQ(ReadMaterial(r.link, r.dialogs, *r.setup, 3, 1), 0);
    EXPECT_EQ(r.setup->materials[3].Material, setup::FixedName("Material 3"));
    EXPECT_EQ(r.dialogs.Texts(),
              std::vector<std::string>{"Material # 3 name upload failed.  Retry?"});
    r.respond = [](const std::string&) { return Answer{'A', "9999"}; };
    EXPECT_EQ(ReadMaterial(r.link, r.dialogs, *r.setup, 3, 3), 0);
    EXPECT_DOUBLE_EQ(r.setup->materials[3].ZFactor, 9.999);
}

TEST(MaterialCommands, WriteRetriesUntilDeclined) {
    FilmRig r;
    r.setup->materials[12].Material = setup::FixedName("Gold");
    r.setup->materials[12].Density = 2.70;
    int calls = 0;
    r.respond = [&](const std::string&) { return Answer{calls++ < 2 ? 'D' : 'A', ""}; };
    r.dialogs.answers = {core::MessageAnswer::Yes};
    EXPECT_EQ(WriteMaterial(r.link, r.dialogs, *r.setup, 12, 2), 0);
    EXPECT_EQ(r.sent, (std::vector<std::string>{"F12 2,270", "F12 2,270", "F12 2,270"}));
    EXPECT_EQ(r.dialogs.Texts().front(), "Gold             Density = 2.7 download failed.  Retry?");
    r.sent.clear();
    r.respond = [](const std::string&) { return Answer{'E', ""}; };
    r.dialogs.answers = {core::MessageAnswer::No};
    EXPECT_EQ(WriteMaterial(r.link, r.dialogs, *r.setup, 12, 0), link::kBadMode);
    EXPECT_EQ(r.sent, std::vector<std::string>{"F12 1,Gold            "});
}

}  // namespace
}  // namespace delvar::commands
