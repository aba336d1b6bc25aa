#include <gtest/gtest.h>

#include <string>

#include "common/AppError.h"
#include "controls/DateText.h"
#include "controls/InputDateLayouts.h"
#include "controls/InputDateProperties.h"
#include "controls/InputDateRules.h"

namespace controls {
namespace {

// Blank positions written as "_" for readability.
std::u16string Box(std::u16string_view shown) {
    std::u16string text(shown);
    for (char16_t& c : text)
        if (c == u'_') c = kBlankPosition;
    return text;
}

std::int32_t FieldLength(std::int16_t nFormat) { return FindDateLayout(nFormat)->fieldLength; }

TEST(EditDateKey, TypingAYearAndMonthStepsOverTheSeparator) {
    std::u16string text = Box(u"____-__-__");
    std::int32_t caret = 0;
    const std::u16string expected[] = {u"2___-__-__", u"20__-__-__", u"201_-__-__", u"2010-__-__", u"2010-0_-__"};
    const std::int32_t expectedCaret[] = {1, 2, 3, 4, 6};
    const char keys[] = {'2', '0', '1', '0', '0'};
    for (int i = 0; i < 5; ++i) {
        const auto edit = EditDateKey(keys[i], caret, text, FieldLength(1));
        ASSERT_TRUE(edit.has_value()) << i;
        EXPECT_EQ(edit->text, Box(expected[i])) << i;
        EXPECT_EQ(edit->caret, expectedCaret[i]) << i;
        text = edit->text;
        caret = edit->caret;
    }
}

struct KeyCase {
    std::int16_t nFormat;
    std::u16string_view before;
    std::int32_t caret;
    std::int16_t key;
    std::u16string_view after;  // empty: nothing changes
    std::int32_t caretAfter;
};

TEST(EditDateKey, DigitsBackspaceAndDiscardedKeys) {
    const KeyCase cases[] = {
        // Digits at and after the end of each layout's field.
        {1, u"2010-01-0_", 9, '5', u"2010-01-05", 10},
        {1, u"2010-01-05", 10, '5', u"", 0},
        {0, u"2010-01-05 08:0_", 16, '3', u"", 0},
        {0, u"2010-01-05 08:0_", 15, '3', u"2010-01-05 08:03", 16},
        {2, u"2010-01-05 08:03:0_", 19, '9', u"", 0},
        {2, u"2010-01-05 08:03:__", 16, '4', u"2010-01-05 08:03:4_", 18},
        // Layout 1 is shorter than the shared separator at 10.
        {1, u"2010-01-05", 9, '7', u"2010-01-07", 10},
        // Overwrite, never insert; no calendar check.
        {1, u"2010-01-05", 5, '1', u"2010-11-05", 6},
        {1, u"2010-1_-__", 6, '3', u"2010-13-__", 7},
        {0, u"2010-01-05 __:__", 10, '2', u"2010-01-05 2_:__", 12},
        // Backspace just after a separator blanks the digit before it.
        {1, u"2010-01-05", 5, 8, u"201_-01-05", 3},
        {0, u"2010-01-05 08:03", 11, 8, u"2010-01-0_ 08:03", 9},
        {0, u"2010-01-05 08:03", 16, 8, u"2010-01-05 08:0_", 15},
        {0, u"2010-01-05 08:03", 14, 8, u"2010-01-05 0_:03", 12},
        {1, u"2010-01-05", 1, 8, u"_010-01-05", 0},
        {1, u"2010-01-05", 0, 8, u"", 0},
        // Everything else is discarded.
        {1, u"____-__-__", 0, 'a', u"", 0},
        {1, u"____-__-__", 0, '-', u"", 0},
        {0, u"2010-01-05 __:__", 13, ':', u"", 0},
        {1, u"____-__-__", 0, ' ', u"", 0},
        {1, u"____-__-__", 0, 3, u"", 0},   // Ctrl+C
        {1, u"____-__-__", 0, 22, u"", 0},  // Ctrl+V
        {1, u"____-__-__", 0, 24, u"", 0},  // Ctrl+X
        {1, u"____-__-__", 0, 13, u"", 0},
        {1, u"____-__-__", 0, static_cast<std::int16_t>(0xD6D0), u"", 0},  // a Chinese character
        {1, u"____-__-__", 0, static_cast<std::int16_t>(0xA3B1), u"", 0},  // full-width 1
        {1, u"____-__-__", 0, '0' - 1, u"", 0},
        {1, u"____-__-__", 0, '9' + 1, u"", 0},
        // A box that does not hold the whole layout, or a caret outside it.
        {1, u"2010", 5, '1', u"", 0},
        {1, u"2010", 7, 8, u"", 0},
        {1, u"", 0, '1', u"", 0},
        {1, u"____-__-__", -1, '1', u"", 0},
        {1, u"____-__-__", -1, 8, u"", 0},
    };
    for (const KeyCase& c : cases) {
        const auto edit = EditDateKey(c.key, c.caret, Box(c.before), FieldLength(c.nFormat));
        const std::string label = "key " + std::to_string(c.key) + " at " + std::to_string(c.caret);
        if (c.after.empty()) {
            EXPECT_FALSE(edit.has_value()) << label;
            continue;
        }
        ASSERT_TRUE(edit.has_value()) << label;
        EXPECT_EQ(edit->text, Box(c.after)) << label;
        EXPECT_EQ(edit->caret, c.caretAfter) << label;
    }
}

TEST(DateLayouts, SetFormatAcceptsOnlyTheThreeLayouts) {
    EXPECT_EQ(LayoutForSetFormat(0).mask, u"####-##-## ##:##");
    EXPECT_EQ(LayoutForSetFormat(1).mask, u"####-##-##");
    EXPECT_EQ(LayoutForSetFormat(2).mask, u"####-##-## ##:##:##");
    for (std::int16_t wrong : {3, -1, 256, -32768}) {
        try {
            LayoutForSetFormat(wrong);
            ADD_FAILURE() << wrong << " accepted";
        } catch (const qv::AppError& error) {
            EXPECT_EQ(error.Number(), 500);
            EXPECT_EQ(error.Description(), "格式设置错误");
        }
    }
    EXPECT_EQ(kInitialDateFormat, 0);
}

TEST(DateLayouts, MasksMatchTheirFieldLengthsAndSharePositions) {
    for (const DateLayout& layout : DateLayouts()) {
        ASSERT_EQ(static_cast<std::int32_t>(layout.mask.size()), layout.fieldLength) << layout.nFormat;
        EXPECT_EQ(layout.pattern.size(), layout.mask.size()) << layout.nFormat;
        for (std::size_t i = 0; i < layout.mask.size(); ++i) {
            const bool separator = i == 4 || i == 7 || i == 10 || i == 13 || i == 16;
            EXPECT_EQ(layout.mask[i] != u'#', separator) << layout.nFormat << " at " << i;
        }
    }
}

struct FormatCase {
    DateContent content;
    std::string_view given;
    std::string_view shown;
};

TEST(FormatDateText, DatesComeOutInTheLayoutOthersPassUnchanged) {
    using D = DateContent;
    const FormatCase cases[] = {
        {D::DateAndMinutes, "2010-1-5 8:03", "2010-01-05 08:03"},
        {D::DateOnly, "2010-1-5", "2010-01-05"},
        {D::DateAndMinutes, "2010-1-5", "2010-01-05 00:00"},
        {D::DateAndSeconds, "2010/1/5 8:3", "2010-01-05 08:03:00"},
        {D::DateAndSeconds, "2010-12-31 23:59:59", "2010-12-31 23:59:59"},
        {D::DateAndMinutes, "2010-12-31 23:59:59", "2010-12-31 23:59"},  // dropped, not rounded
        {D::DateOnly, "2010-12-31 23:59:59", "2010-12-31"},
        {D::DateOnly, "  2010-01-24  ", "2010-01-24"},
        {D::DateOnly, "2008-2-29", "2008-02-29"},
        {D::DateOnly, "2000-2-29", "2000-02-29"},
        // Not dates: passed through.
        {D::DateOnly, "", ""},
        {D::DateOnly, "2010-2-29", "2010-2-29"},
        {D::DateOnly, "1900-2-29", "1900-2-29"},
        {D::DateOnly, "2010-2-30", "2010-2-30"},
        {D::DateOnly, "2010-4-31", "2010-4-31"},
        {D::DateOnly, "2010-13-1", "2010-13-1"},
        {D::DateOnly, "2010-0-1", "2010-0-1"},
        {D::DateOnly, "2010-1-0", "2010-1-0"},
        {D::DateAndMinutes, "2010-1-5 24:00", "2010-1-5 24:00"},
        {D::DateAndMinutes, "2010-1-5 8:60", "2010-1-5 8:60"},
        {D::DateAndSeconds, "2010-1-5 8:03:60", "2010-1-5 8:03:60"},
        {D::DateOnly, "2010-1/5", "2010-1/5"},
        {D::DateOnly, "10-1-5", "10-1-5"},
        {D::DateOnly, "2010-001-5", "2010-001-5"},
        {D::DateAndMinutes, "8:03", "8:03"},
        {D::DateAndMinutes, "2010-1-5 8", "2010-1-5 8"},
        {D::DateAndMinutes, "2010-1-5x", "2010-1-5x"},
        {D::DateAndMinutes, "    -  -     :  ", "    -  -     :  "},  // an empty layout read back
        {D::DateOnly, "abc", "abc"},
        {D::DateOnly, "二〇一〇-1-5", "二〇一〇-1-5"},
    };
    for (const FormatCase& c : cases) EXPECT_EQ(FormatDateText(c.given, c.content), c.shown) << c.given;
}

TEST(DateBoxSavedProperties, SixEntriesInLoadOrderWithTheirDefaults) {
    struct Expected {
        std::string_view name;
        PropertyKind kind;
        std::int32_t dispid;
        std::int64_t number;
    };
    const Expected expected[] = {
        {"BackColor", PropertyKind::Colour, 0x68030005, 0x80000005},
        {"ForeColor", PropertyKind::Colour, 0x68030004, 0x80000008},
        {"Enabled", PropertyKind::Boolean, 0x68030003, -1},
        {"Font", PropertyKind::Font, -512, 0},
        {"BackStyle", PropertyKind::Int16, 0x68030002, 0},
        {"BorderStyle", PropertyKind::Int32, 0x68030001, 1},
    };
    const auto& table = DateBoxSavedProperties();
    ASSERT_EQ(table.size(), std::size(expected));
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].name, expected[i].name) << i;
        EXPECT_EQ(table[i].kind, expected[i].kind) << i;
        EXPECT_EQ(table[i].dispid, expected[i].dispid) << i;
        EXPECT_EQ(table[i].numberDefault, expected[i].number) << i;
    }
    EXPECT_EQ(table[4].target, PropertyTarget::Surface);
}

}  // namespace
}  // namespace controls
