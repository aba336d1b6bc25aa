#include "TextColorRules.h"

#include <algorithm>

#include "modPublic.h"

namespace controls {

bool IsNameKey(std::int16_t key) {
    return (key >= 'a' && key <= 'z') || (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9') || key == '_' ||
           key == '.' || key == kBackspace;
}

std::int16_t FilterKeyPress(std::int16_t keyAscii, const TextBoxView& box, std::int32_t maxLength,
                            const KeyRules& rules) {
    return FilterKeyPress(keyAscii, box, FactsOf(box.text), maxLength, rules);
}

std::int16_t FilterKeyPress(std::int16_t keyAscii, const TextBoxView& box, const TextFacts& facts,
                            std::int32_t maxLength, const KeyRules& rules) {
    if (rules.isNumeric) {
        return FilterNumericKey(box, facts, rules.maxNumber, keyAscii, rules.digitNumber, rules.allowNegative);
    }
    if (box.selLength != 0) return keyAscii;
    if (rules.isVarName && !IsNameKey(keyAscii)) return 0;
    if (WouldExceedMaxLength(facts, keyAscii, maxLength, rules.chaTwoByte)) return 0;
    return keyAscii;
}

DeleteJudgement JudgeKeyDown(std::int16_t keyCode, const TextBoxView& box, const KeyRules& rules) {
    if (keyCode != kDeleteKeyCode) return {keyCode, box.selStart, false};
    return JudgeKeyDown(keyCode, box, FactsOf(box.text), rules);
}

DeleteJudgement JudgeKeyDown(std::int16_t keyCode, const TextBoxView& box, const TextFacts& facts,
                             const KeyRules& rules) {
    if (keyCode != kDeleteKeyCode) return {keyCode, box.selStart, false};
    // Setting SelStart collapses the selection and stops at the end of the text.
    const auto caret = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{box.selStart} + 1, facts.length));
    // Judged on the box itself with the caret moved: the text is the same.
    const bool refused = FilterNumericKey(box.text, facts, caret, 0, rules.maxNumber, kBackspace, rules.digitNumber,
                                          rules.allowNegative) == 0;
    return {refused ? std::int16_t{0} : keyCode, caret > 0 ? caret - 1 : caret, true};
}

FocusChange OnGotFocus(bool enabled, bool locked, const FocusColours& colours, bool selAllWhenFocus) {
    FocusChange change;
    if (enabled && !locked) change.backColor = colours.active;
    change.selectAll = selAllWhenFocus;
    return change;
}

FocusChange OnLostFocus(bool enabled, bool locked, const FocusColours& colours) {
    FocusChange change;
    if (enabled && !locked) change.backColor = colours.inactive;
    return change;
}

}  // namespace controls
