#include "common/TextCase.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextCase, FoldsOnlyAsciiLetters) {
    EXPECT_EQ(qv::AsciiLower("Main.EXE 中文 Ä @[`{"), "main.exe 中文 Ä @[`{");
    EXPECT_EQ(qv::AsciiUpper("main.exe 中文 ä @[`{"), "MAIN.EXE 中文 ä @[`{");
}

TEST(TextCase, EqualsNoCase) {
    struct Case {
        const char* left;
        const char* right;
        bool equal;
    };
    const Case cases[] = {
        {"quorvel.exe", "QuorVel.EXE", true},
        {"", "", true},
        {"a", "", false},
        {"abc", "abcd", false},
        {"abc", "abd", false},
        {"[", "{", false},  // differ by the case bit but are no letters
        {"@", "`", false},
        {"ä", "Ä", false},  // letters outside ASCII compare as is
        {"中a", "中A", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qv::EqualsNoCase(c.left, c.right), c.equal) << c.left << " / " << c.right;
    }
}

TEST(TextCase, Utf16Length) {
    struct Case {
        std::string text;
        std::size_t units;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 3},
        {"中文", 2},
        {"\xF0\x9F\x98\x80", 2},  // U+1F600 needs a surrogate pair
        {"\xF4\x8F\xBF\xBF", 2},  // U+10FFFF
        {"\xF4\x90\x80\x80", 4},  // above U+10FFFF: four stray bytes
        {"\xFF", 1},
        {"\xE4\xB8", 2},  // cut-off sequence at the end
        {"\xE4\xB8"
         "a",
         3},                  // cut-off sequence before a letter
        {"\xC0\xAF", 2},      // overlong form
        {"\xED\xA0\x80", 3},  // encoded surrogate
        {std::string("a\0b", 3), 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qv::Utf16Length(c.text), c.units) << testing::PrintToString(c.text);
    }
}

}  // namespace
