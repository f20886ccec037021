#include <gtest/gtest.h>

#include "commands/CommandRig.h"
#include "commands/modCommData.h"
#include "commands/modCommOperate.h"

namespace delvar::commands {
namespace {

using namespace delvar::testing;

TEST(RunCommands, CommandTexts) {
    CommandRig r;
    EXPECT_EQ(Comm_RunCommand(r.link, kNextLayer), 0);
    Comm_SetPower(r.link, 1, 100);
    Comm_SetPower(r.link, 0, 55);
    Comm_SendSelectProcess(r.link, 7);
    EXPECT_EQ(r.sent, (Texts{"U 4", "S1 1000", "S0", "T 7"}));
    r.AnswerAlways({'E', ""});
    EXPECT_EQ(Comm_RunCommand(r.link, kStartProcess), link::kBadMode);
}

TEST(RunCommands, StatusStoresFieldsTwoToFive) {
    CommandRig r;
    RunStatus status;
    r.AnswerAlways({'A', "13 125.5 2 3 0"});
    EXPECT_EQ(Comm_GetStatus(r.link, status), 13);
    EXPECT_EQ(status.ElapsedTime, 125.5);
    EXPECT_EQ(status.LayerNumber, 3);
    r.AnswerAlways({'A', "0"});
    EXPECT_EQ(Comm_GetStatus(r.link, status), 0);
    EXPECT_EQ(status.LayerNumber, 3) << "a single field leaves the rest as it was";
    r.AnswerAlways({'C', ""});
    EXPECT_EQ(Comm_GetStatus(r.link, status), -1);
    r.AnswerAlways({'A', "6.5 1 2.5 99999 x"});
    EXPECT_EQ(Comm_GetStatus(r.link, status), 6);
    EXPECT_EQ(status.ProcessNumber, 2);
    EXPECT_EQ(status.LayerNumber, INT16_MAX) << "out of range values are clamped";
}

TEST(RunCommands, ReadingsFillOnlyTheFieldsGiven) {
    CommandRig r;
    std::array<OutputReading, 4> outputs{};
    outputs[2].Rate = 7.7;
    r.AnswerAlways({'A', "0 1.5 -2 0.123 45 2.5 3 0.5 -1"});  // 9 fields: outputs 1 and 2
    EXPECT_EQ(Comm_GetOutputReadings(r.link, outputs), 0);
    EXPECT_EQ(outputs[0].Thickness, 0.123);
    EXPECT_EQ(outputs[1].Power, -1);
    EXPECT_EQ(outputs[2].Rate, 7.7);
    r.tcp.onSend = nullptr;  // silence: the old readings stay
    EXPECT_EQ(Comm_GetOutputReadings(r.link, outputs), link::kTimeout);
    EXPECT_EQ(outputs[1].Power, -1);
    CommandRig k;
    std::array<SensorReading, 4> sensors{};
    sensors[0].Frequency = 5.9e6;
    k.AnswerAlways({'A', "1 2.5 0.75 ??? 1 1 5950000.5"});
    EXPECT_EQ(Comm_GetSensorReadings(k.link, sensors), 0);
    EXPECT_EQ(sensors[0].Thickness, 0.75);
    EXPECT_EQ(sensors[0].Frequency, 0) << "not a number";
    EXPECT_EQ(sensors[1].Frequency, 5950000.5);
}

}  // namespace
}  // namespace delvar::commands
