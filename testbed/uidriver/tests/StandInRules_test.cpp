#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "testbed/quorvel/CommandLineArguments.h"
#include "testbed/quorvel/Lifetime.h"

namespace {

TEST(StandInArguments, FollowTheProgramNameHoweverItIsWritten) {
    const struct {
        std::string_view commandLine;
        std::string_view arguments;
    } cases[] = {
        {R"(C:\Program Files\学校 管理\quorvel.exe debug)", "debug"},  // unquoted with blanks
        {R"(C:\Program Files\学校 管理\quorvel.exe)", ""},
        {R"(C:\apps\QUORVEL.EXE   a  b)", "a  b"},
        {R"("C:\Program Files\x\quorvel.exe" debug)", "debug"},
        {R"("C:\Program Files\x\quorvel.exe")", ""},
        {R"("C:\unclosed quote\quorvel.exe debug)", ""},
        {R"(C:\a.exe.d\quorvel.exe debug)", "debug"},  // ".exe" inside a folder name
        {R"(C:\x\a.exe b.exe c)", "b.exe c"},          // the first ".exe" word ends the name
        {"quorvel debug", "debug"},                    // no ".exe": up to the first blank
        {"  quorvel.exe\tdebug ", "debug "},
        {"", ""},
        {"   ", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(testbed::ArgumentsOf(c.commandLine), c.arguments) << c.commandLine;
    }
}

TEST(StandInLifetime, PositiveWholeSecondsElseTheDefault) {
    const struct {
        std::optional<std::string_view> setting;
        int seconds;
    } cases[] = {
        {std::nullopt, 120}, {"", 120},   {"1", 1},     {"3600", 3600}, {"0", 120},           {"-5", 120}, {"+5", 120},
        {"5s", 120},         {" 5", 120}, {"1.5", 120}, {"abc", 120},   {"99999999999", 120},  // beyond int
    };
    for (const auto& c : cases) {
        EXPECT_EQ(testbed::LifetimeSeconds(c.setting), c.seconds) << c.setting.value_or("(unset)");
    }
}

}  // namespace
