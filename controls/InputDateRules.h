#pragma once
// The date box's own editing of a typed character: digits overwrite the
// position at the caret and step over the separators, Backspace blanks the
// position before the caret, everything else is discarded. Texts are the
// inner box's UTF-16 text, so positions are the box's caret indices.
#include <cstdint>
#include <optional>
#include <string>

namespace controls {

constexpr std::int16_t kBackspaceKeyAscii = 8;
constexpr char16_t kBlankPosition = u' ';

struct DateEdit {
    std::u16string text;
    std::int32_t caret;
};

// Only ASCII 0 to 9: a full-width digit (a double-byte KeyAscii) is refused,
// since the field's positions hold one ASCII digit each.
bool IsDateDigitKey(std::int16_t keyAscii);

// What the typed KeyAscii (as the host left it) does to the text T with the
// caret at p; nullopt when nothing changes. A position outside T (a box that
// does not hold the whole layout) changes nothing either.
std::optional<DateEdit> EditDateKey(std::int16_t keyAscii, std::int32_t caret, const std::u16string& text,
                                    std::int32_t fieldLength);

}  // namespace controls
