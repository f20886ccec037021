#include <gtest/gtest.h>

#include "commands/modCommData.h"
#include "commands/modCommOperate.h"
#include "support/LinkRig.h"

namespace delvar::commands {
namespace {

using namespace delvar::testing;

struct CommandRig : LinkRig {
    std::vector<std::string> sent;
    Answer answer;  // what the instrument says next
    CommandRig() {
        AnswerOn(tcp, [this](const std::string& command) {
            sent.push_back(command);
            return answer;
        });
    }
};

TEST(RunCommands, CommandTexts) {
    CommandRig r;
    EXPECT_EQ(Comm_RunCommand(r.link, kNextLayer), 0);
    EXPECT_EQ(Comm_RunCommand(r.link, kZeroThickness), 0);
    Comm_SetPower(r.link, 1, 45);
    Comm_SetPower(r.link, 2, 12.25);
    Comm_SetPower(r.link, 2, 12.75);
    Comm_SetPower(r.link, 3, 0);
    Comm_SetPower(r.link, 1, 100);
    Comm_SetPower(r.link, 0, 55);
    Comm_SendSelectProcess(r.link, 7);
    EXPECT_EQ(r.sent, (std::vector<std::string>{"U 4", "U 32", "S1 450", "S2 122", "S2 128", "S3 0",
                                                "S1 1000", "S0", "T 7"}));
    r.answer = {'E', ""};
    EXPECT_EQ(Comm_RunCommand(r.link, kStartProcess), link::kBadMode);
}

TEST(RunCommands, StatusStoresFieldsTwoToFive) {
    CommandRig r;
    RunStatus status;
    r.answer = {'A', "13 125.5 2 3 0"};
    EXPECT_EQ(Comm_GetStatus(r.link, status), 13);
    EXPECT_DOUBLE_EQ(status.ElapsedTime, 125.5);
    EXPECT_EQ(status.ProcessNumber, 2);
    EXPECT_EQ(status.LayerNumber, 3);
    // A single field leaves the rest as it was.
    r.answer = {'A', "0"};
    EXPECT_EQ(Comm_GetStatus(r.link, status), 0);
    EXPECT_DOUBLE_EQ(status.ElapsedTime, 125.5);
    EXPECT_EQ(status.LayerNumber, 3);
    // Failure: -1 and nothing stored; integers round half to even.
    r.answer = {'C', ""};
    EXPECT_EQ(Comm_GetStatus(r.link, status), -1);
    r.answer = {'A', "6.5 1 2.5 99999 x"};
    EXPECT_EQ(Comm_GetStatus(r.link, status), 6);
    EXPECT_EQ(status.ProcessNumber, 2);
    EXPECT_EQ(status.LayerNumber, INT16_MAX);  // out of range values are clamped
    EXPECT_EQ(status.StatusWord5, 0);
}

TEST(RunCommands, OutputReadingsFillOnlyTheFieldsGiven) {
    CommandRig r;
    std::array<OutputReading, 4> outputs{};
    outputs[2].Rate = 7.7;
    r.answer = {'A', "0 1.5 -2 0.123 45 2.5 3 0.5 -1"};  // 9 fields: outputs 1 and 2
    EXPECT_EQ(Comm_GetOutputReadings(r.link, outputs), 0);
    EXPECT_DOUBLE_EQ(outputs[0].Rate, 1.5);
    EXPECT_DOUBLE_EQ(outputs[0].Deviation, -2);
    EXPECT_DOUBLE_EQ(outputs[0].Thickness, 0.123);
    EXPECT_DOUBLE_EQ(outputs[0].Power, 45);
    EXPECT_DOUBLE_EQ(outputs[1].Power, -1);
    EXPECT_DOUBLE_EQ(outputs[2].Rate, 7.7);
    r.answer = {'A', "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19"};  // extra fields ignored
    EXPECT_EQ(Comm_GetOutputReadings(r.link, outputs), 0);
    EXPECT_DOUBLE_EQ(outputs[3].Power, 16);
    r.tcp.onSend = nullptr;  // silence: the old readings stay
    EXPECT_EQ(Comm_GetOutputReadings(r.link, outputs), link::kTimeout);
    EXPECT_DOUBLE_EQ(outputs[3].Power, 16);
}

TEST(RunCommands, SensorReadingsConvertNonNumbersToZero) {
    CommandRig r;
    std::array<SensorReading, 4> sensors{};
    sensors[0].Frequency = 5.9e6;
    r.answer = {'A', "1 2.5 0.75 ??? 1 1 5950000.5"};
    EXPECT_EQ(Comm_GetSensorReadings(r.link, sensors), 0);
    EXPECT_DOUBLE_EQ(sensors[0].Rate, 2.5);
    EXPECT_DOUBLE_EQ(sensors[0].Thickness, 0.75);
    EXPECT_DOUBLE_EQ(sensors[0].Frequency, 0);
    EXPECT_DOUBLE_EQ(sensors[1].Frequency, 5950000.5);
}

TEST(RunCommands, PhaseNames) {
    EXPECT_STREQ(PhaseName(0), "Stopped");
    EXPECT_STREQ(PhaseName(13), "Deposit");
    EXPECT_STREQ(PhaseName(17), "Sample Delay");
    EXPECT_STREQ(PhaseName(33), "Rate Sampel Hold");
    EXPECT_STREQ(PhaseName(37), "Sample Delay");
    EXPECT_STREQ(PhaseName(38), "");
    EXPECT_STREQ(PhaseName(-1), "");
}

}  // namespace
}  // namespace delvar::commands
