// The rules judged from kept facts must give the verdicts of the rules that
// read the whole text on every key. The whole-text rules are restated here
// as the reference and compared on every caret position of tricky texts.
#include "controls/TextFacts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/NumberText.h"
#include "controls/TextColorRules.h"
#include "controls/modPublic.h"

namespace controls {
namespace {

constexpr std::int16_t kChinese = -12064;     // 0xD0E0
constexpr std::int16_t kDigitTrail = -32464;  // 0x8130: its second byte reads as "0"
constexpr std::int16_t kCommaTrail = -32468;  // 0x812C: its second byte reads as ","

double ReferenceValue(const AnsiText& text) { return qv::LeadingNumber(AnsiBytes(text)); }

std::int64_t ReferencePoint(const AnsiText& text) {
    const auto it = std::find(text.begin(), text.end(), static_cast<std::int16_t>('.'));
    return it == text.end() ? 0 : (it - text.begin()) + 1;
}

std::int16_t ReferenceNumeric(const TextBoxView& box, double maxNumber, std::int16_t key, std::int16_t digitNumber,
                              bool allowNegative) {
    const AnsiText& text = box.text;
    const auto length = static_cast<std::int64_t>(text.size());
    if (key >= '0' && key <= '9') {
        const std::int64_t start = std::clamp<std::int64_t>(box.selStart, 0, length);
        const std::int64_t selEnd = std::clamp<std::int64_t>(start + std::max(box.selLength, 0), 0, length);
        if (start == 0 && ReferenceValue(text) < 0) return 0;
        AnsiText candidate(text.begin(), text.begin() + start);
        candidate.push_back(key);
        candidate.insert(candidate.end(), text.begin() + selEnd, text.end());
        std::erase(candidate, static_cast<std::int16_t>(','));
        const double magnitude = std::fabs(ReferenceValue(candidate));
        const std::int64_t point = ReferencePoint(text);
        if (point > 0 && box.selStart >= point && length - point >= digitNumber) return 0;
        if (box.selLength < 1 && magnitude > maxNumber) return 0;
        return key;
    }
    if (key == '.') {
        if (digitNumber == 0 || ReferencePoint(text) > 0) return 0;
        return length - box.selStart > digitNumber ? 0 : key;
    }
    if (key == kBackspace) {
        if (length == 0 || box.selStart <= 0) return 0;
        const std::int64_t caret = std::min<std::int64_t>(box.selStart, length);
        return text[caret - 1] == '.' && length - caret >= 1 ? 0 : key;
    }
    if (key == '-') {
        if (!allowNegative) return 0;
        if (text.empty()) return key;
        return box.selStart == 0 && text.front() != '-' ? key : 0;
    }
    return 0;
}

AnsiText Mixed(std::initializer_list<std::int16_t> codes) { return AnsiText(codes); }

std::vector<AnsiText> TrickyTexts() {
    std::vector<AnsiText> texts;
    for (const char* ascii :
         {"",     "0",    "12",    "12.34", "-5",      "-12.5", "1,234",          "1,2,3.4", " 12 3",
          "12  ", "12e3", "12e",   "12e-",  "1e-5",    "1d2",   "9999999999999",  ".5",      "-",
          ".",    "--1",  "1.2.3", "abc",   "12abc34", "+7",    "00000000000001", ",",       ",1",
          "100",  "99.",  "1 ,2"}) {
        texts.push_back(AnsiFromAscii(ascii));
    }
    texts.push_back(Mixed({'1', kChinese, '2'}));
    texts.push_back(Mixed({kChinese, '5'}));
    texts.push_back(Mixed({'1', '2', kDigitTrail}));
    texts.push_back(Mixed({'1', kCommaTrail, '2', '.', '5'}));
    texts.push_back(Mixed({'-', '3', kChinese}));
    // Long numbers: past double's range, below its smallest, and brought back by an exponent.
    texts.push_back(AnsiFromAscii(std::string(400, '9')));
    texts.push_back(AnsiFromAscii("0." + std::string(400, '0') + "1"));
    texts.push_back(AnsiFromAscii("1" + std::string(400, '0') + "e-400"));
    texts.push_back(AnsiFromAscii(std::string(300, '0') + "12"));
    // Past the digits that decide a double: digits added at the end change nothing or still something.
    texts.push_back(AnsiFromAscii("1." + std::string(900, '3')));
    texts.push_back(AnsiFromAscii("1." + std::string(900, '0')));
    texts.push_back(AnsiFromAscii("-2," + std::string(400, '9')));
    return texts;
}

std::string Describe(const AnsiText& text, std::int32_t start, std::int32_t length, std::int16_t key) {
    std::string shown = AnsiBytes(text).substr(0, 40);
    return "text \"" + shown + "\" (" + std::to_string(text.size()) + " chars) sel " + std::to_string(start) + "+" +
           std::to_string(length) + " key " + std::to_string(key);
}

TEST(KeptFacts, NumericVerdictsMatchTheWholeTextRulesAtEveryCaret) {
    const std::int16_t keys[] = {'0', '5', '9', '.', '-', kBackspace, 'a', kChinese};
    struct Limits {
        double maxNumber;
        std::int16_t digitNumber;
        bool allowNegative;
    };
    const Limits limits[] = {
        {100, 2, false}, {999999999999.0, 100, true}, {0.5, 0, true}, {1e308, 3, false}, {INFINITY, 2, true}};
    int compared = 0;
    for (const AnsiText& text : TrickyTexts()) {
        const TextFacts facts = FactsOf(text);
        const TextFacts withoutNumber = FactsOf(text, false);
        const auto size = static_cast<std::int32_t>(text.size());
        for (std::int32_t start = 0; start <= size + 1; ++start) {
            for (std::int32_t selected : {0, 1, 2, -1}) {
                const TextBoxView box{text, start, selected};
                for (const Limits& limit : limits) {
                    for (std::int16_t key : keys) {
                        const std::int16_t expected =
                            ReferenceNumeric(box, limit.maxNumber, key, limit.digitNumber, limit.allowNegative);
                        ASSERT_EQ(
                            FilterNumericKey(box, facts, limit.maxNumber, key, limit.digitNumber, limit.allowNegative),
                            expected)
                            << Describe(text, start, selected, key) << " max " << limit.maxNumber;
                        ASSERT_EQ(FilterNumericKey(box, withoutNumber, limit.maxNumber, key, limit.digitNumber,
                                                   limit.allowNegative),
                                  expected)
                            << Describe(text, start, selected, key) << " without the number's facts";
                        ++compared;
                    }
                }
            }
        }
    }
    EXPECT_GT(compared, 100000);
}

TEST(KeptFacts, DeleteAndByteBudgetMatchTheWholeTextRules) {
    KeyRules rules;
    rules.isNumeric = true;
    rules.digitNumber = 2;
    for (const AnsiText& text : TrickyTexts()) {
        const TextFacts facts = FactsOf(text);
        const auto size = static_cast<std::int32_t>(text.size());
        std::int64_t bytes = 0;
        for (std::int16_t code : text) bytes += IsWideCode(code) ? 2 : 1;
        for (std::int32_t start = 0; start <= size; ++start) {
            const TextBoxView box{text, start, 0};
            const DeleteJudgement judged = JudgeKeyDown(kDeleteKeyCode, box, facts, rules);
            const auto caret = std::min(start + 1, size);
            const TextBoxView moved{text, caret, 0};
            const bool refused = ReferenceNumeric(moved, rules.maxNumber, kBackspace, 2, false) == 0;
            EXPECT_EQ(judged.keyCode, refused ? 0 : kDeleteKeyCode) << Describe(text, start, 0, kDeleteKeyCode);
            EXPECT_EQ(judged.caret, caret > 0 ? caret - 1 : caret);
        }
        for (std::int32_t maxLength : {0, size, size + 1, static_cast<std::int32_t>(bytes),
                                       static_cast<std::int32_t>(bytes) + 1, static_cast<std::int32_t>(bytes) + 2}) {
            for (std::int16_t key : {std::int16_t{'x'}, kChinese, kBackspace}) {
                for (bool twoByte : {false, true}) {
                    const std::int64_t counted = twoByte ? bytes : size;
                    const bool over = (IsWideCode(key) && twoByte && counted > maxLength - 2) ||
                                      (counted > maxLength - 1 && key != kBackspace);
                    EXPECT_EQ(WouldExceedMaxLength(facts, key, maxLength, twoByte), over)
                        << Describe(text, 0, 0, key) << " max " << maxLength;
                }
            }
        }
    }
}

TEST(KeptFacts, KnowTheNumberWithAndWithoutCommas) {
    const TextFacts facts = FactsOf(AnsiFromAscii("-1,234.5xy"));
    EXPECT_EQ(facts.length, 10);
    EXPECT_EQ(facts.pointPosition, 7);
    EXPECT_DOUBLE_EQ(facts.value, -1.0);
    EXPECT_DOUBLE_EQ(facts.plainValue, -1234.5);
    EXPECT_EQ(facts.plainReach, 9);  // the "x" ended the number, the "y" cannot matter
    EXPECT_FALSE(facts.plainOpen);
    const TextFacts open = FactsOf(Mixed({'7', kChinese, '1', '2'}));
    EXPECT_EQ(open.wideCount, 1);
    EXPECT_FALSE(open.plainOpen);
    EXPECT_TRUE(FactsOf(AnsiFromAscii("12.5 ")).plainOpen);
    EXPECT_GT(FactsOf(AnsiFromAscii("12.5 ")).plainReach, 5);
}

void ExpectSameFacts(const TextFacts& kept, const TextFacts& fresh, const std::string& what) {
    EXPECT_EQ(kept.length, fresh.length) << what;
    EXPECT_EQ(kept.wideCount, fresh.wideCount) << what;
    EXPECT_EQ(kept.pointPosition, fresh.pointPosition) << what;
}

TEST(KeptFacts, ATypedCharacterUpdatesThemAsReadingTheWholeTextWould) {
    const std::int16_t codes[] = {'7', '.', ',', 'x', kChinese, kDigitTrail};
    int compared = 0;
    int keptNumbers = 0;
    for (const AnsiText& original : TrickyTexts()) {
        const auto size = static_cast<std::int64_t>(original.size());
        for (std::int64_t start = -1; start <= size + 1; ++start) {
            for (std::int64_t selected : {0, 1, 2, 5, -1}) {
                for (std::int16_t code : codes) {
                    AnsiText text = original;
                    TextFacts facts = FactsOf(text, code == '7');
                    ReplaceSelection(text, facts, start, selected, code);
                    const std::string what =
                        Describe(original, static_cast<std::int32_t>(start), static_cast<std::int32_t>(selected), code);
                    const auto from = std::clamp<std::int64_t>(start, 0, size);
                    const auto to = std::clamp<std::int64_t>(from + std::max<std::int64_t>(selected, 0), from, size);
                    AnsiText expected(original.begin(), original.begin() + from);
                    expected.push_back(code);
                    expected.insert(expected.end(), original.begin() + to, original.end());
                    ASSERT_EQ(text, expected) << what;
                    const TextFacts fresh = FactsOf(text, true);
                    ExpectSameFacts(facts, fresh, what);
                    if (facts.numberKnown) {
                        ++keptNumbers;
                        EXPECT_EQ(facts.value, fresh.value) << what;
                        EXPECT_EQ(facts.plainValue, fresh.plainValue) << what;
                        EXPECT_EQ(facts.plainReach, fresh.plainReach) << what;
                        EXPECT_EQ(facts.plainOpen, fresh.plainOpen) << what;
                        EXPECT_EQ(facts.plainSettled, fresh.plainSettled) << what;
                    }
                    ++compared;
                }
            }
        }
    }
    EXPECT_GT(compared, 5000);
    EXPECT_GT(keptNumbers, 3);  // digits typed at the end of numbers that they cannot change
}

TEST(KeptFacts, TheNumberIsReadOnlyAsFarAsItCanReach) {
    // A long tail that no number can take in changes nothing about the number.
    AnsiText text = AnsiFromAscii("-12,5.25");
    const TextFacts shortFacts = FactsOf(text);
    text.push_back('x');
    text.insert(text.end(), 20000, kChinese);
    const TextFacts longFacts = FactsOf(text);
    EXPECT_DOUBLE_EQ(longFacts.value, shortFacts.value);
    EXPECT_DOUBLE_EQ(longFacts.plainValue, -125.25);
    EXPECT_EQ(longFacts.plainReach, 9);  // up to the "x" that ended it
    EXPECT_FALSE(longFacts.plainOpen);
    TextFacts added = FactsOf(text, false);
    AddNumberFacts(text, added);
    EXPECT_TRUE(added.numberKnown);
    EXPECT_DOUBLE_EQ(added.plainValue, longFacts.plainValue);
    EXPECT_EQ(added.plainReach, longFacts.plainReach);
}

}  // namespace
}  // namespace controls
