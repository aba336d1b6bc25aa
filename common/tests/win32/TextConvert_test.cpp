#include "common/win32/TextConvert.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qv::win::FromAnsi;
using qv::win::Narrow;
using qv::win::ToAnsi;
using qv::win::Widen;

TEST(TextConvert, Utf8AndUtf16RoundTrip) {
    struct Case {
        std::string utf8;
        std::wstring utf16;
    };
    const Case cases[] = {
        {"", L""},
        {"quorvel.exe", L"quorvel.exe"},
        {"错误原因：", L"\x9519\x8BEF\x539F\x56E0\xFF1A"},
        {"\xF0\x9F\x98\x80", L"\xD83D\xDE00"},  // U+1F600 as a surrogate pair
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Widen(c.utf8), c.utf16) << testing::PrintToString(c.utf8);
        EXPECT_EQ(Narrow(c.utf16), c.utf8) << testing::PrintToString(c.utf8);
    }
}

TEST(TextConvert, IllFormedUtf8BecomesReplacementCharacter) {
    EXPECT_EQ(Widen("a\xFF"
                    "b"),
              L"a\xFFFD"
              L"b");
    EXPECT_EQ(Narrow(std::wstring(1, L'\xD800')), "\xEF\xBF\xBD");  // lone surrogate
}

TEST(TextConvert, AnsiIsTheChineseCodePage) {
    ASSERT_EQ(GetACP(), 936u) << "the tests run with the code page of the target systems";
    struct Case {
        std::string utf8;
        std::string gbk;
    };
    const Case cases[] = {
        {"", ""},
        {"错误", "\xB4\xED\xCE\xF3"},
        {"FileVersion.cfg=5\r\n", "FileVersion.cfg=5\r\n"},
        {"提示: 1", "\xCC\xE1\xCA\xBE: 1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToAnsi(c.utf8), c.gbk) << c.utf8;
        EXPECT_EQ(FromAnsi(c.gbk), c.utf8) << c.utf8;
    }
}

TEST(TextConvert, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(ToAnsi("a\xE0\xB8\x81z"), "a?z");  // Thai letter U+0E01
}

TEST(TextConvert, LastErrorTextIsTheSystemsDescriptionWithoutTrailer) {
    for (const DWORD code : {DWORD{ERROR_FILE_NOT_FOUND}, DWORD{ERROR_ACCESS_DENIED}, DWORD{ERROR_PATH_NOT_FOUND}}) {
        const std::string text = qv::win::LastErrorText(code);
        ASSERT_FALSE(text.empty()) << code;
        const char last = text.back();
        EXPECT_TRUE(last != '\r' && last != '\n' && last != '.' && last != ' ') << text;
        EXPECT_FALSE(text.ends_with("。")) << text;
    }
    EXPECT_NE(qv::win::LastErrorText(ERROR_FILE_NOT_FOUND), qv::win::LastErrorText(ERROR_ACCESS_DENIED));
}

TEST(TextConvert, LastErrorTextOfAnUnknownCodeNamesTheCode) {
    EXPECT_EQ(qv::win::LastErrorText(0xFFFE), "系统错误 65534");
    EXPECT_EQ(qv::win::LastErrorText(0xA0001234), "系统错误 0xA0001234");
}

}  // namespace
