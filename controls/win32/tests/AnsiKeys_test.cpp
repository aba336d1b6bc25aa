#include "AnsiKeys.h"

#include <gtest/gtest.h>

#include <string>

namespace controls::win {
namespace {

// The codes the rules count, one conversion per character.
AnsiText OneByOne(const std::wstring& text) {
    AnsiText codes;
    for (wchar_t character : text) {
        const std::int16_t code = KeyAsciiFromWideChar(character);
        codes.push_back(code != 0 ? code : static_cast<std::int16_t>('?'));
    }
    return codes;
}

TEST(AnsiTextFromWide, ReadsEveryTextAsItsCharactersOneByOne) {
    const std::wstring texts[] = {
        L"",
        L"abc_1.5",
        L"\x4E2D\x6587",  // two double-byte characters in code page 936
        L"a\x4E2D"
        L"b\x6587\x20AC"
        L"c",                   // ASCII between them, and the euro sign
        L"x\xD83D\xDE00y",      // a surrogate pair: no ANSI code
        L"\x4E2D\xD800\x6587",  // a lone surrogate inside a run
        L"\x0E01\x4E2D",        // a Thai letter, absent from code page 936
        std::wstring(32767, L'\x4E2D') + L"z",
    };
    for (const std::wstring& text : texts) {
        EXPECT_EQ(AnsiTextFromWide(text), OneByOne(text)) << "text of " << text.size() << " characters";
    }
}

TEST(AnsiTextFromWide, DoubleByteCharactersCountAsOneCodeEach) {
    if (GetACP() != 936) GTEST_SKIP() << "needs code page 936";
    const AnsiText codes = AnsiTextFromWide(L"a\x4E2D");
    ASSERT_EQ(codes.size(), 2u);
    EXPECT_EQ(codes[0], 'a');
    EXPECT_EQ(static_cast<std::uint16_t>(codes[1]), 0xD6D0);  // 中
}

}  // namespace
}  // namespace controls::win
