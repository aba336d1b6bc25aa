// The stand-in form's own rules: the form file's sections, the terminal
// setting and the event lines of its list.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "testbed/quorvel/FormFile.h"
#include "testbed/quorvel/TerminalSetting.h"

namespace {

using Sections = std::map<std::string, std::string>;

TEST(FormFile, SectionsSurviveTheRoundTripWhateverTheirBodies) {
    const Sections cases[] = {
        {},
        {{"amount", "QvPropertyBag 1\nText 8 12.50\n"}},
        {{"amount", "QvPropertyBag 1\n"}, {"code", "QvPropertyBag 1\nText 8 -\n"}, {"date", ""}},
        {{"x", "a line with [brackets] inside\n"}},
    };
    for (const Sections& sections : cases) {
        EXPECT_EQ(testbed::SplitFormSections(testbed::JoinFormSections(sections)), sections);
    }
}

TEST(FormFile, ReadsWhatAnEditorMayHaveMadeOfIt) {
    struct Case {
        const char* text;
        Sections sections;
    };
    const Case cases[] = {
        {"", {}},
        {"stray text\n[a]\nbody", {{"a", "body\n"}}},
        {"[a]\r\nline 1\r\nline 2\r\n", {{"a", "line 1\nline 2\n"}}},
        {"[a]\nold\n[b]\nb\n[a]\nnew\n", {{"a", "new\n"}, {"b", "b\n"}}},
        {"[]\nnot a section\n[a]\n", {{"a", ""}}},
        {"[a]\n [b]\n", {{"a", " [b]\n"}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(testbed::SplitFormSections(c.text), c.sections) << c.text;
    }
}

TEST(TerminalSetting, NeedsBothListsSplitAtTheFirstSemicolon) {
    struct Case {
        std::optional<std::string> text;
        bool present;
        std::string addresses;
        std::string ports;
    };
    const Case cases[] = {
        {std::nullopt, false, "", ""},
        {"", false, "", ""},
        {"127.0.0.1", false, "", ""},
        {";4370", false, "", ""},
        {"127.0.0.1;4370", true, "127.0.0.1", "4370"},
        {"127.0.0.1,127.0.0.2;4370,4371", true, "127.0.0.1,127.0.0.2", "4370,4371"},
        {"a, b,;1;2", true, "a, b,", "1;2"},
        {"127.0.0.1;", true, "127.0.0.1", ""},
    };
    for (const Case& c : cases) {
        const auto setting = testbed::ParseTerminalSetting(c.text);
        ASSERT_EQ(setting.has_value(), c.present) << c.text.value_or("(unset)");
        if (setting) {
            EXPECT_EQ(setting->addresses, c.addresses);
            EXPECT_EQ(setting->ports, c.ports);
        }
    }
}

TEST(TerminalSetting, PollIntervalIsAPlainPositiveNumber) {
    const std::pair<std::optional<std::string>, std::optional<int>> cases[] = {
        {std::nullopt, std::nullopt},
        {"", std::nullopt},
        {"0", std::nullopt},
        {"-5", std::nullopt},
        {"+5", std::nullopt},
        {"5s", std::nullopt},
        {"99999999999", std::nullopt},
        {"1", 1},
        {"2500", 2500},
    };
    for (const auto& [text, milliseconds] : cases) {
        EXPECT_EQ(testbed::PollMilliseconds(text), milliseconds) << text.value_or("(unset)");
    }
}

TEST(TerminalSetting, EventsNameTheTerminalByItsPositionFromOne) {
    const std::string addresses = "10.0.0.1,10.0.0.2,,10.0.0.4";
    const std::pair<long, std::string> cases[] = {
        {1, "10.0.0.1"}, {2, "10.0.0.2"}, {3, ""}, {4, "10.0.0.4"}, {5, "?"}, {0, "?"}, {-1, "?"},
    };
    for (const auto& [position, address] : cases) {
        EXPECT_EQ(testbed::TerminalAddress(addresses, position), address) << position;
    }
    EXPECT_EQ(testbed::TerminalAddress("", 1), "");
    EXPECT_EQ(testbed::MonitorEventLine("08:15:00", false, "10.0.0.2"), "08:15:00 断开 10.0.0.2");
    EXPECT_EQ(testbed::MonitorEventLine("08:16:00", true, "10.0.0.2"), "08:16:00 恢复 10.0.0.2");
}

}  // namespace
