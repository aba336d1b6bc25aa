#include "InputDateRules.h"

namespace controls {
namespace {

// Separators stand at 4, 7, 10, 13 and 16 in every layout.
bool IsJustAfterSeparator(std::int32_t caret) {
    return caret == 5 || caret == 8 || caret == 11 || caret == 14 || caret == 17;
}

bool IsJustBeforeSeparator(std::int32_t caret) {
    return caret == 4 || caret == 7 || caret == 10 || caret == 13 || caret == 16;
}

std::optional<DateEdit> Overwrite(const std::u16string& text, std::int32_t position, char16_t character,
                                  std::int32_t caretAfter) {
    if (position < 0 || static_cast<std::size_t>(position) >= text.size()) return std::nullopt;
    DateEdit edit{text, caretAfter};
    edit.text[static_cast<std::size_t>(position)] = character;
    return edit;
}

}  // namespace

bool IsDateDigitKey(std::int16_t keyAscii) { return keyAscii >= '0' && keyAscii <= '9'; }

std::optional<DateEdit> EditDateKey(std::int16_t keyAscii, std::int32_t caret, const std::u16string& text,
                                    std::int32_t fieldLength) {
    if (caret < 0) return std::nullopt;
    if (keyAscii == kBackspaceKeyAscii) {
        if (IsJustAfterSeparator(caret)) --caret;
        if (caret == 0) return std::nullopt;
        return Overwrite(text, caret - 1, kBlankPosition, caret - 1);
    }
    if (IsDateDigitKey(keyAscii)) {
        if (IsJustBeforeSeparator(caret)) ++caret;
        if (caret >= fieldLength) return std::nullopt;
        return Overwrite(text, caret, static_cast<char16_t>(keyAscii), caret + 1);
    }
    return std::nullopt;
}

}  // namespace controls
