#pragma once
// The inner masked box's text rules. A mask holds "#" for one digit position
// and literal characters everywhere else; the text always has the mask's
// length, with the literals in place and a blank (the prompt character) at
// every empty digit position. Nothing is ever inserted or shifted.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace controls {

constexpr char16_t kMaskDigit = u'#';
constexpr char16_t kMaskPrompt = u' ';

struct MaskedEdit {
    std::u16string text;
    std::int32_t caret;
};

// The mask with every digit position blank.
std::u16string EmptyMaskedText(std::u16string_view mask);

// Same length, literals in place, a digit or a blank at every digit position.
bool FitsMask(std::u16string_view mask, std::u16string_view text);

// A typed character at the caret: an ASCII digit overwrites a digit position
// and the caret moves on; anything else, or a literal position, changes nothing.
std::optional<MaskedEdit> TypeIntoMask(std::u16string_view mask, std::u16string_view text, std::int32_t caret,
                                       char16_t character);

// The digit positions of [start, start + length) blanked; the caret at start.
MaskedEdit BlankMaskRange(std::u16string_view mask, std::u16string_view text, std::int32_t start, std::int32_t length);

// Delete without a selection: the position at the caret blanked if it holds a
// digit, the caret one to the right; nothing at the end.
std::optional<MaskedEdit> DeleteInMask(std::u16string_view mask, std::u16string_view text, std::int32_t caret);

// Backspace without a selection: the position before the caret blanked, the
// caret one to the left; nothing at 0.
std::optional<MaskedEdit> BackspaceInMask(std::u16string_view mask, std::u16string_view text, std::int32_t caret);

}  // namespace controls
