// The one conversion of record values to wire integers, across the command modules.
#include <gtest/gtest.h>

#include <cmath>

#include "commands/CommandRig.h"
#include "commands/WireNumbers.h"
#include "commands/modCommFilm.h"
#include "commands/modCommOperate.h"
#include "commands/modCommProcess.h"
#include "commands/modCommSystem.h"

namespace delvar::commands {
namespace {

using namespace delvar::testing;

TEST(WireValues, ScaledValuesGoOutAsRoundedIntegers) {
    CommandRig r;
    setup::SetupData& s = *r.setup;
    s.sensors[2].Shutter_Delay = 1.001;  // x 1000 is 1000.9999999999999
    s.sources[1].Shutter_Delay = 2.01;   // 2009.9999999999998
    s.sources[1].Voltage_Scale = 0.7;    // x 10 is 7.000000000000001
    s.relays[3].Width = 2.007;           // 2007.0000000000002
    s.films[4].Pterm = 40.6;             // an unscaled floating field goes out whole
    s.films[4].Soak3_Time = 2.5;         // halves to even
    s.layers[5].Rate = 10.25;
    s.system.Period = 0.29;  // x 100 is 28.999999999999996
    WriteSensor(r.link, s.sensors, 2, 4);
    WriteSource(r.link, s.sources, 1, 4);
    WriteSource(r.link, s.sources, 1, 1);
    WriteRelay(r.link, s.relays, 3, 4);
    WriteLayer(r.link, s, 5, 1);
    WriteSystem(r.link, s.system, 1);
    Comm_SetPower(r.link, 2, 12.25);
    Comm_SetPower(r.link, 2, 12.75);
    EXPECT_EQ(r.sent, (Texts{"HA2 4,1001", "HB1 4,2010", "HB1 1,7", "GB3 4,2007", "D5  1,102",
                             "B 1,29", "S2 122", "S2 128"}));
    EXPECT_EQ(GetFilmParam(s.films[4], 201), "41");
    EXPECT_EQ(GetFilmParam(s.films[4], 314), "2");
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
    setup::LayerRec layer;
    SetLayerParam(layer, 27, "125.5");  // whole first, then tenths
    EXPECT_DOUBLE_EQ(layer.Rate_Dev_Attn, 12.6);
    SetLayerParam(layer, 40, "9");  // unknown parameter: ignored
    EXPECT_EQ(GetLayerParam(layer, 40), 0);
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
