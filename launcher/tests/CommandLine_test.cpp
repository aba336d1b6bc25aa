#include "launcher/CommandLine.h"

#include <gtest/gtest.h>

namespace launcher {
namespace {

TEST(ArgumentText, IsEverythingAfterTheProgramName) {
    const struct {
        const char* commandLine;
        const char* arguments;
    } cases[] = {
        {"startqvl.exe", ""},
        {"startqvl.exe DEBUG", "DEBUG"},
        {"C:\\Qvl\\startqvl.exe   update", "update"},
        {"\"C:\\Program Files\\Qvl\\startqvl.exe\" DEBUG", "DEBUG"},
        {"\"C:\\Program Files\\Qvl\\startqvl.exe\"DEBUG", ""},  // still the program name
        {"\"C:\\Program Files\\Qvl\\startqvl.exe\"", ""},
        {"startqvl.exe DEBUG x", "DEBUG x"},
        {"startqvl.exe DEBUG ", "DEBUG "},
        {"startqvl.exe\tUPDATE", "UPDATE"},
        {"\"unclosed quote DEBUG", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ArgumentText(c.commandLine), c.arguments) << c.commandLine;
}

}  // namespace
}  // namespace launcher
