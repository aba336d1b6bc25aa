#include "controls/TextColorRules.h"

#include <gtest/gtest.h>

namespace controls {
namespace {

constexpr std::int16_t kChinese = -12064;

KeyRules TextMode(bool isVarName, bool chaTwoByte = false) {
    KeyRules rules;
    rules.isVarName = isVarName;
    rules.chaTwoByte = chaTwoByte;
    return rules;
}

struct PressCase {
    const char* text;
    std::int32_t selStart;
    std::int32_t selLength;
    std::int16_t key;
    std::int32_t maxLength;
    KeyRules rules;
    bool kept;
};

TEST(FilterKeyPress, AppliesTheRulesOfTheMode) {
    KeyRules numeric;
    numeric.isNumeric = true;
    numeric.isVarName = true;  // ignored in numeric mode
    numeric.maxNumber = 100;
    const PressCase cases[] = {
        {"a_1", 3, 0, '.', 10, TextMode(true), true},
        {"a_1.", 4, 0, 'B', 10, TextMode(true), true},
        {"a", 1, 0, ' ', 10, TextMode(true), false},
        {"a", 1, 0, '-', 10, TextMode(true), false},
        {"a", 1, 0, kChinese, 10, TextMode(true), false},
        {"a", 1, 0, 13, 10, TextMode(true), false},
        {"a", 1, 0, 22, 10, TextMode(true), false},  // Ctrl+V
        {"a", 1, 0, 8, 10, TextMode(true), true},
        {"a", 0, 1, ' ', 1, TextMode(true), true},  // selection: no rule at all
        {"abcd", 1, 2, 'x', 4, TextMode(false), true},
        {"abcd", 4, 0, 'x', 4, TextMode(false), false},
        {"", 0, 0, 'x', 0, TextMode(false), false},
        {"", 0, 0, 8, 0, TextMode(false), true},
        {"ab", 2, 0, kChinese, 4, TextMode(false, true), true},
        {"ab", 2, 0, ' ', 10, TextMode(false), true},
        {"10", 2, 0, '0', 0, numeric, true},  // numeric ignores MaxLength
        {"100", 3, 0, '0', 10, numeric, false},
        {"10", 2, 0, 'a', 10, numeric, false},
        {"10", 0, 2, 'a', 10, numeric, false},     // selection does not bypass numeric rule
        {"", 0, 0, 0, 10, TextMode(false), true},  // a zeroed key stays zero either way
    };
    for (const PressCase& c : cases) {
        const TextBoxView box{AnsiFromAscii(c.text), c.selStart, c.selLength};
        EXPECT_EQ(FilterKeyPress(c.key, box, c.maxLength, c.rules), c.kept ? c.key : 0)
            << "text '" << c.text << "' key " << c.key;
    }
}

struct DeleteCase {
    const char* text;
    std::int32_t selStart;
    std::int32_t selLength;
    bool numeric;
    bool allowed;
    std::int32_t caret;
};

TEST(JudgeKeyDown, JudgesDeleteAsABackspaceAfterTheCaret) {
    const DeleteCase cases[] = {
        {"1.5", 1, 0, true, false, 1},  {"a.b", 1, 0, false, false, 1},
        {"1.5", 2, 0, true, true, 2},   {"1.", 1, 0, true, true, 1},  // nothing after the point
        {"ab", 2, 0, false, true, 1},                                 // caret stops at the end, steps back before b
        {"abcd", 1, 2, false, true, 1},                               // selection collapsed, only b goes
        {"abcd", 0, 4, false, true, 0}, {"", 0, 0, false, false, 0},
    };
    for (const DeleteCase& c : cases) {
        KeyRules rules;
        rules.isNumeric = c.numeric;
        const TextBoxView box{AnsiFromAscii(c.text), c.selStart, c.selLength};
        const DeleteJudgement judged = JudgeKeyDown(kDeleteKeyCode, box, rules);
        EXPECT_TRUE(judged.moveCaret);
        EXPECT_EQ(judged.keyCode, c.allowed ? kDeleteKeyCode : 0) << c.text << " at " << c.selStart;
        EXPECT_EQ(judged.caret, c.caret) << c.text << " at " << c.selStart;
    }
}

TEST(JudgeKeyDown, LeavesOtherKeysAndTheBoxAlone) {
    const DeleteJudgement judged = JudgeKeyDown(37, {AnsiFromAscii("1.5"), 1, 1}, KeyRules{});
    EXPECT_FALSE(judged.moveCaret);
    EXPECT_EQ(judged.keyCode, 37);
}

TEST(FocusColouring, OnlyAnEnabledUnlockedBoxChangesColour) {
    const FocusColours colours{0x123456, 0x654321};
    struct Case {
        bool enabled, locked;
        bool coloured;
    };
    for (const Case c : {Case{true, false, true}, Case{true, true, false}, Case{false, false, false}}) {
        const FocusChange got = OnGotFocus(c.enabled, c.locked, colours, true);
        const FocusChange lost = OnLostFocus(c.enabled, c.locked, colours);
        EXPECT_TRUE(got.selectAll);  // a locked box still selects its text
        EXPECT_FALSE(lost.selectAll);
        EXPECT_EQ(got.backColor, c.coloured ? std::optional<std::uint32_t>(0x123456) : std::nullopt);
        EXPECT_EQ(lost.backColor, c.coloured ? std::optional<std::uint32_t>(0x654321) : std::nullopt);
    }
    EXPECT_FALSE(OnGotFocus(true, false, colours, false).selectAll);
    EXPECT_EQ(FocusColours{}.active, 12648384U);
    EXPECT_EQ(FocusColours{}.inactive, 16777215U);
}

}  // namespace
}  // namespace controls
