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

TEST(SimOptions, EndpointAndFailureModeOptionsAreTaken) {
    auto options = Parse({"--pty", "/tmp/x"});
    ASSERT_TRUE(options);
    EXPECT_FALSE(options->server.tcp) << "the pty alone turns TCP off";
    options = Parse({"--pty", "/tmp/x", "--port", "0", "--seed", "4294967295", "--speed", "250.5"});
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->server.tcp && options->server.port == 0);
    EXPECT_EQ(options->faults.seed, 4294967295u);
    EXPECT_DOUBLE_EQ(options->speed, 250.5);
    for (const FailureModeInfo& mode : kFailureModes) {
        std::vector<std::string> args{std::string(mode.option)};
        if (mode.takesCount) args.push_back("7");
        options = Parse(args);
        ASSERT_TRUE(options) << mode.option;
        for (const FailureModeInfo& other : kFailureModes) {
            EXPECT_EQ(options->faults[other.mode], other.mode != mode.mode ? 0
                                                   : mode.takesCount       ? 7
                                                                           : 1)
                << mode.option << " " << other.option;
        }
        EXPECT_NE(SimUsage().find(std::string(mode.option)), std::string::npos);
    }
}

// Splits text at sep; an empty piece stays.
std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> pieces{""};
    for (char c : text) c == sep ? void(pieces.emplace_back()) : pieces.back().push_back(c);
    return pieces;
}

TEST(SimOptions, BadArgumentsAreRefusedWithAReason) {
    // Cases separated by ";", the arguments of a case by "|".
    const std::string bad =
        "--bogus;--port;--port|65536;--port|-1;--port|80x;--port|;--channels|3;--channels|0;"
        "--seed|4294967296;--seed|1.5;--speed|0;--speed|20000;--speed|nan;--speed;--setup;"
        "--setup|;--silent-every|0;--drop-after;--corrupt-every|abc;--pty|;--firmware|;"
        "--firmware|6 30;--firmware|6.3!;--firmware|" +
        std::string(208, '9') + ";--split|3";
    for (const std::string& line : Split(bad, ';')) {
        const std::vector<std::string> args = Split(line, '|');
        std::string error;
        EXPECT_FALSE(Parse(args, &error)) << line;
        EXPECT_FALSE(error.empty()) << line;
    }
    EXPECT_TRUE(Parse({"--firmware", std::string(207, '9')})) << "still fits a reply frame";
}

}  // namespace
}  // namespace delvar::sim
