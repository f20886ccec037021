#include <gtest/gtest.h>

#include "sim/SimOptions.h"

namespace delvar::sim {
namespace {

std::optional<SimOptions> Parse(const std::vector<std::string>& args,
                                std::string* error = nullptr) {
    std::string reason;
    auto options = ParseSimOptions(args, reason);
    if (error) *error = reason;
    return options;
}

TEST(SimOptions, DefaultsAreTheFourChannelModelOnPort2101) {
    const auto options = Parse({});
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->server.tcp);
    EXPECT_EQ(options->server.port, 2101);
    EXPECT_EQ(options->server.ptyPath, "");
    EXPECT_FALSE(options->server.verbose);
    EXPECT_EQ(options->model.firmware, "6.30");
    EXPECT_EQ(options->model.channels, 4);
    EXPECT_FALSE(options->model.codep);
    EXPECT_EQ(options->faults.seed, 1u);
    for (const FailureModeInfo& mode : kFailureModes) EXPECT_EQ(options->faults[mode.mode], 0);
}

TEST(SimOptions, ThePtyAloneTurnsTcpOffAPortKeepsItOn) {
    auto options = Parse({"--pty", "/tmp/x"});
    ASSERT_TRUE(options);
    EXPECT_FALSE(options->server.tcp);
    EXPECT_EQ(options->server.ptyPath, "/tmp/x");
    options = Parse({"--pty", "/tmp/x", "--port", "0"});
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->server.tcp);
    EXPECT_EQ(options->server.port, 0);
}

TEST(SimOptions, ModelAndSeedOptions) {
    const auto options =
        Parse({"--codep", "--channels", "2", "--firmware", "6.31", "--seed", "4294967295",
               "--verbose", "--speed", "250.5", "--setup", "demo.mdb"});
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->model.codep);
    EXPECT_EQ(options->model.channels, 2);
    EXPECT_EQ(options->model.firmware, "6.31");
    EXPECT_EQ(options->faults.seed, 4294967295u);
    EXPECT_TRUE(options->server.verbose);
    EXPECT_DOUBLE_EQ(options->speed, 250.5);
    EXPECT_EQ(options->setupFile, "demo.mdb");
}

TEST(SimOptions, EveryFailureModeHasItsOption) {
    for (const FailureModeInfo& mode : kFailureModes) {
        SCOPED_TRACE(std::string(mode.option));
        std::vector<std::string> args{std::string(mode.option)};
        if (mode.takesCount) args.push_back("7");
        const auto options = Parse(args);
        ASSERT_TRUE(options);
        EXPECT_EQ(options->faults[mode.mode], mode.takesCount ? 7 : 1);
        for (const FailureModeInfo& other : kFailureModes) {
            if (other.mode != mode.mode) {
                EXPECT_EQ(options->faults[other.mode], 0);
            }
        }
        EXPECT_NE(SimUsage().find(std::string(mode.option)), std::string::npos);
    }
}

TEST(SimOptions, BadArgumentsAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad{
        {"--bogus"},
        {"--port"},
        {"--port", "65536"},
        {"--port", "-1"},
        {"--port", "80x"},
        {"--port", ""},
        {"--channels", "3"},
        {"--channels", "0"},
        {"--channels", "8"},
        {"--seed", "4294967296"},
        {"--seed", "1.5"},
        {"--speed", "0"},
        {"--speed", "20000"},
        {"--speed", "fast"},
        {"--speed", "nan"},
        {"--speed"},
        {"--setup"},
        {"--setup", ""},
        {"--silent-every", "0"},
        {"--corrupt-every", "abc"},
        {"--drop-after"},
        {"--pty", ""},
        {"--firmware", ""},
        {"--firmware", "6 30"},
        {"--firmware", "6.3!"},
        {"--firmware", std::string(208, '9')},
        {"--split", "3"},  // --split takes no count, so "3" is an unknown option
    };
    for (const auto& args : bad) {
        std::string error;
        EXPECT_FALSE(Parse(args, &error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
    std::string error;
    Parse({"--channels", "3"}, &error);
    EXPECT_NE(error.find("--channels"), std::string::npos);
    EXPECT_TRUE(Parse({"--firmware", std::string(207, '9')}));  // still fits a reply frame
}

}  // namespace
}  // namespace delvar::sim
