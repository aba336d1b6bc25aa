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
    if (rules.isNumeric) {
        return FilterNumericKey(box, rules.maxNumber, keyAscii, rules.digitNumber, rules.allowNegative);
    }
    if (box.selLength != 0) return keyAscii;
    if (rules.isVarName && !IsNameKey(keyAscii)) return 0;
    if (ExceedsMaxLength(box.text, keyAscii, maxLength, rules.chaTwoByte)) return 0;
    return keyAscii;
}

DeleteJudgement JudgeKeyDown(std::int16_t keyCode, const TextBoxView& box, const KeyRules& rules) {
    if (keyCode != kDeleteKeyCode) return {keyCode, box.selStart, false};
    // Setting SelStart collapses the selection and stops at the end of the text.
    const auto length = static_cast<std::int64_t>(box.text.size());
    const auto caret = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{box.selStart} + 1, length));
    const TextBoxView moved{box.text, caret, 0};
    const bool refused =
        FilterNumericKey(moved, rules.maxNumber, kBackspace, rules.digitNumber, rules.allowNegative) == 0;
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
