#include "controls/modPublic.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace controls {
namespace {

constexpr std::int16_t kChinese = -12064;  // a double-byte code of code page 936 (0xD0E0)

struct NumericCase {
    const char* text;
    std::int32_t selStart;
    std::int32_t selLength;
    char key;
    double maxNumber;
    std::int16_t digitNumber;
    bool allowNegative;
    bool kept;
};

TEST(FilterNumericKey, DecidesEachKeyByCaretSelectionAndLimits) {
    constexpr double kTwelveNines = 999999999999.0;
    const NumericCase cases[] = {
        {"", 0, 0, '1', 100, 2, false, true},
        {"10", 2, 0, '0', 100, 2, false, true},
        {"100", 3, 0, '0', 100, 2, false, false},             // 1000 > 100
        {"100", 0, 3, '9', 100, 2, false, true},              // a selection skips the magnitude test
        {"100", 1, 0, '9', 100, 2, false, false},             // 1900 > 100
        {"12.34", 5, 0, '5', kTwelveNines, 2, false, false},  // decimals full
        {"12.34", 2, 0, '5', kTwelveNines, 2, false, true},   // before the point
        {"12.34", 3, 0, '5', kTwelveNines, 2, false, false},  // right after the point, still full
        {"12.3", 4, 0, '5', kTwelveNines, 2, false, true},
        {"12.34", 2, 0, '.', kTwelveNines, 2, false, false},  // a point is there already
        {"12345", 2, 0, '.', kTwelveNines, 2, false, false},  // three would follow
        {"12345", 3, 0, '.', kTwelveNines, 2, false, true},
        {"1", 1, 0, '.', kTwelveNines, 0, false, false},  // no decimals allowed
        {"", 0, 0, '.', kTwelveNines, 0, false, false},
        {"", 0, 0, '-', kTwelveNines, 2, true, true},
        {"12", 0, 0, '-', kTwelveNines, 2, true, true},
        {"12", 1, 0, '-', kTwelveNines, 2, true, false},
        {"-12", 0, 0, '-', kTwelveNines, 2, true, false},
        {"", 0, 0, '-', kTwelveNines, 2, false, false},
        {"-12", 0, 0, '5', kTwelveNines, 2, true, false},  // no digit before the sign
        {"-12", 1, 0, '5', kTwelveNines, 2, true, true},
        {"-99", 3, 0, '9', 100, 2, true, false},      // magnitude 999
        {"1,234", 5, 0, '5', 12345, 2, false, true},  // commas ignored: 12345
        {"1,234", 5, 0, '6', 12345, 2, false, false},
        {"12", 0, 2, '\b', kTwelveNines, 2, false, false},  // Backspace at caret 0
        {"", 0, 0, '\b', kTwelveNines, 2, false, false},
        {"1.5", 2, 0, '\b', kTwelveNines, 2, false, false},  // the point has decimals after it
        {"1.", 2, 0, '\b', kTwelveNines, 2, false, true},
        {"15", 1, 0, '\b', kTwelveNines, 2, false, true},
        {"1", 1, 0, 'a', kTwelveNines, 2, true, false},
        {"1", 1, 0, ',', kTwelveNines, 2, true, false},
        {"1", 1, 0, '+', kTwelveNines, 2, true, false},
        {"1", 1, 0, '\r', kTwelveNines, 2, true, false},
    };
    for (const NumericCase& c : cases) {
        const TextBoxView box{AnsiFromAscii(c.text), c.selStart, c.selLength};
        const auto key = static_cast<std::int16_t>(c.key);
        EXPECT_EQ(FilterNumericKey(box, c.maxNumber, key, c.digitNumber, c.allowNegative), c.kept ? key : 0)
            << "text '" << c.text << "' caret " << c.selStart << "+" << c.selLength << " key " << int(c.key);
    }
}

TEST(FilterNumericKey, RefusesDoubleByteCharacters) {
    const TextBoxView box{AnsiFromAscii("12"), 2, 0};
    EXPECT_EQ(FilterNumericKey(box, 1e12, kChinese, 2, true), 0);
}

struct LengthCase {
    AnsiText text;
    std::int16_t key;
    std::int32_t maxLength;
    bool chaTwoByte;
    bool exceeds;
};

TEST(ExceedsMaxLength, CountsBytesWithDoubleByteCharactersOptionallyTwo) {
    const AnsiText ab = AnsiFromAscii("ab");
    const AnsiText abWide = {'a', 'b', kChinese};
    const LengthCase cases[] = {
        {ab, kChinese, 4, true, false},       // 2 + 2 fits
        {abWide, kChinese, 4, true, true},    // 4 + 2 does not
        {abWide, 'x', 4, true, true},         // full
        {abWide, kChinese, 4, false, false},  // counted as 3 characters
        {{'a', 'b', kChinese, kChinese}, kChinese, 4, false, true},
        {ab, kChinese, 3, true, true},  // 2 + 2 > 3
        {ab, 'x', 3, true, false},
        {{}, 'x', 0, false, true},  // MaxLength 0 refuses all but Backspace
        {{}, kBackspace, 0, false, false},
        {abWide, kBackspace, 4, true, false},
        {AnsiFromAscii("abcd"), kBackspace, 4, true, false},
    };
    for (const LengthCase& c : cases) {
        EXPECT_EQ(ExceedsMaxLength(c.text, c.key, c.maxLength, c.chaTwoByte), c.exceeds)
            << "length " << c.text.size() << " key " << c.key << " max " << c.maxLength;
    }
}

TEST(ExceedsMaxLength, LongTextsAndLargeLimitsDoNotWrap) {
    const AnsiText long32768(32768, 'a');
    const AnsiText wide20000(20000, kChinese);  // 40000 bytes counted two each
    EXPECT_FALSE(ExceedsMaxLength(long32768, 'a', 40000, false));
    EXPECT_TRUE(ExceedsMaxLength(long32768, 'a', 32768, false));
    EXPECT_TRUE(ExceedsMaxLength(wide20000, 'a', 40000, true));
    EXPECT_FALSE(ExceedsMaxLength(wide20000, kChinese, 40002, true));
    EXPECT_FALSE(ExceedsMaxLength({}, kChinese, std::numeric_limits<std::int32_t>::max(), true));
    EXPECT_TRUE(ExceedsMaxLength({}, kChinese, std::numeric_limits<std::int32_t>::min(), true));
}

TEST(AnsiBytes, GivesBothBytesOfADoubleByteCode) {
    EXPECT_EQ(AnsiBytes({'1', kChinese, '2'}), std::string("1\xD0\xE0"
                                                           "2"));
}

}  // namespace
}  // namespace controls
