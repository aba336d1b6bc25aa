#include "testbed/uidriver/DriverOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testbed::ParseDriverOptions;

TEST(DriverOptions, DefaultsWithoutArguments) {
    const auto parsed = ParseDriverOptions({});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->logFile, "");
    EXPECT_EQ(parsed.options->stopFile, "");
    EXPECT_EQ(parsed.options->timeoutSeconds, 60);
    EXPECT_EQ(parsed.options->answerDelayMs, 300);
    EXPECT_TRUE(parsed.options->answers.empty());
    EXPECT_TRUE(parsed.options->watchClasses.empty());
}

TEST(DriverOptions, ReadsEveryOptionAndKeepsRepeatsInOrder) {
    const auto parsed = ParseDriverOptions({"--log", "C:\\日志 目录\\a.jsonl", "--stop", "stop.flag", "--timeout", "5",
                                            "--answer-delay", "0", "--answer", "继续下载=7", "--answer", "a=b=6",
                                            "--answer", "=2", "--watch", "QuorvelWaitWindow", "--watch", "#32770"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const testbed::DriverOptions& options = *parsed.options;
    EXPECT_EQ(options.logFile, "C:\\日志 目录\\a.jsonl");
    EXPECT_EQ(options.stopFile, "stop.flag");
    EXPECT_EQ(options.timeoutSeconds, 5);
    EXPECT_EQ(options.answerDelayMs, 0);
    ASSERT_EQ(options.answers.size(), 3u);
    EXPECT_EQ(options.answers[0].textPart, "继续下载");
    EXPECT_EQ(options.answers[0].button, 7);
    EXPECT_EQ(options.answers[1].textPart, "a=b");  // the last "=" divides
    EXPECT_EQ(options.answers[1].button, 6);
    EXPECT_EQ(options.answers[2].textPart, "");  // matches any box
    EXPECT_EQ(options.answers[2].button, 2);
    EXPECT_EQ(options.watchClasses, (std::vector<std::string>{"QuorvelWaitWindow", "#32770"}));
}

TEST(DriverOptions, HelpIsNeitherOptionsNorAMistake) {
    for (const char* help : {"--help", "-h", "/?"}) {
        const auto parsed = ParseDriverOptions({"--timeout", "5", help});
        EXPECT_TRUE(parsed.helpWanted) << help;
        EXPECT_FALSE(parsed.options) << help;
    }
}

TEST(DriverOptions, RefusesMistakes) {
    const std::vector<std::vector<std::string>> mistakes = {
        {"--log"},                   // value missing
        {"--stop", ""},              //
        {"--timeout", "0"},          // at least a second
        {"--timeout", "5s"},         //
        {"--answer-delay", "-1"},    //
        {"--answer", "no button"},   // no "="
        {"--answer", "text="},       // button missing
        {"--answer", "text=0"},      // ids run from 1
        {"--answer", "text=65536"},  // to 0xFFFF
        {"--watch", ""},             //
        {"--bogus", "1"},            // unknown option
        {"--timeout", "5", "positional"},
    };
    for (const auto& arguments : mistakes) {
        const auto parsed = ParseDriverOptions(arguments);
        std::string shown;
        for (const auto& argument : arguments) shown += "[" + argument + "]";
        EXPECT_FALSE(parsed.options) << shown;
        EXPECT_FALSE(parsed.helpWanted) << shown;
        EXPECT_FALSE(parsed.error.empty()) << shown;
    }
}

}  // namespace
