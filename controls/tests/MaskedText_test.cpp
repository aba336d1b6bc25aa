#include "controls/MaskedText.h"

#include <gtest/gtest.h>

#include <string>

namespace controls {
namespace {

constexpr std::u16string_view kMask = u"####-##-## ##:##";

// Blank positions written as "_" for readability.
std::u16string Shown(std::u16string_view text) {
    std::u16string result(text);
    for (char16_t& c : result)
        if (c == u'_') c = kMaskPrompt;
    return result;
}

TEST(MaskedText, EmptyLayoutAndWhatFitsTheMask) {
    EXPECT_EQ(EmptyMaskedText(kMask), Shown(u"____-__-__ __:__"));
    EXPECT_EQ(EmptyMaskedText(u""), u"");
    struct Case {
        std::u16string_view text;
        bool fits;
    };
    const Case cases[] = {
        {u"2010-01-05 08:03", true},  {u"____-__-__ __:__", true},
        {u"2_1_-0_-__ 0_:__", true},  {u"", false},
        {u"2010-01-05", false},       {u"2010-01-05 08:03 ", false},
        {u"2010/01/05 08:03", false}, {u"2010-01-05_08:03", true},    // the literal blank at 10 is a blank too
        {u"2010-0a-05 08:03", false}, {u"２010-01-05 08:03", false},  // full-width digit
        {u"2010-01-05 08-03", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitsMask(kMask, Shown(c.text)), c.fits) << std::string(c.text.begin(), c.text.end());
}

struct EditCase {
    enum Op { Type, Delete, Backspace } op;
    std::u16string_view before;
    std::int32_t caret;
    char16_t character;
    std::u16string_view after;  // empty: nothing changes
    std::int32_t caretAfter;
};

TEST(MaskedText, TypingDeleteAndBackspaceNeverShift) {
    const EditCase cases[] = {
        {EditCase::Type, u"____-__-__ __:__", 0, u'2', u"2___-__-__ __:__", 1},
        {EditCase::Type, u"2010-01-05 08:03", 6, u'9', u"2010-09-05 08:03", 7},
        {EditCase::Type, u"2010-01-05 08:03", 15, u'9', u"2010-01-05 08:09", 16},
        {EditCase::Type, u"2010-01-05 08:03", 4, u'9', u"", 0},   // a literal position
        {EditCase::Type, u"2010-01-05 08:03", 16, u'9', u"", 0},  // the end
        {EditCase::Type, u"2010-01-05 08:03", -1, u'9', u"", 0},
        {EditCase::Type, u"2010-01-05 08:03", 0, u'a', u"", 0},
        {EditCase::Type, u"2010-01-05 08:03", 0, u' ', u"", 0},
        {EditCase::Type, u"2010-01-05 08:03", 0, u'１', u"", 0},
        {EditCase::Delete, u"2010-01-05 08:03", 0, 0, u"_010-01-05 08:03", 1},
        {EditCase::Delete, u"2010-01-05 08:03", 4, 0, u"2010-01-05 08:03", 5},  // steps over the literal
        {EditCase::Delete, u"2010-01-05 08:03", 15, 0, u"2010-01-05 08:0_", 16},
        {EditCase::Delete, u"2010-01-05 08:03", 16, 0, u"", 0},
        {EditCase::Backspace, u"2010-01-05 08:03", 16, 0, u"2010-01-05 08:0_", 15},
        {EditCase::Backspace, u"2010-01-05 08:03", 5, 0, u"2010-01-05 08:03", 4},
        {EditCase::Backspace, u"2010-01-05 08:03", 0, 0, u"", 0},
    };
    for (const EditCase& c : cases) {
        std::optional<MaskedEdit> edit;
        switch (c.op) {
            case EditCase::Type:
                edit = TypeIntoMask(kMask, Shown(c.before), c.caret, c.character);
                break;
            case EditCase::Delete:
                edit = DeleteInMask(kMask, Shown(c.before), c.caret);
                break;
            case EditCase::Backspace:
                edit = BackspaceInMask(kMask, Shown(c.before), c.caret);
                break;
        }
        const std::string label = "op " + std::to_string(c.op) + " at " + std::to_string(c.caret);
        if (c.after.empty()) {
            EXPECT_FALSE(edit.has_value()) << label;
            continue;
        }
        ASSERT_TRUE(edit.has_value()) << label;
        EXPECT_EQ(edit->text, Shown(c.after)) << label;
        EXPECT_EQ(edit->caret, c.caretAfter) << label;
    }
}

TEST(MaskedText, BlankingARangeKeepsTheLiterals) {
    const std::u16string full = u"2010-01-05 08:03";
    EXPECT_EQ(BlankMaskRange(kMask, full, 2, 6).text, Shown(u"20__-__-05 08:03"));
    EXPECT_EQ(BlankMaskRange(kMask, full, 2, 6).caret, 2);
    EXPECT_EQ(BlankMaskRange(kMask, full, 0, 100).text, EmptyMaskedText(kMask));
    EXPECT_EQ(BlankMaskRange(kMask, full, 10, 0).text, full);
    EXPECT_EQ(BlankMaskRange(kMask, full, -5, 6).text, Shown(u"_010-01-05 08:03"));
    // A text that does not fit is replaced by the empty layout rather than indexed.
    EXPECT_EQ(BlankMaskRange(kMask, u"2010", 0, 1).text, EmptyMaskedText(kMask));
}

}  // namespace
}  // namespace controls
