#pragma once
// The two key filters of the text box: the byte budget and the numeric rule.
// Each comes in two forms: one reading the whole text, and one reading only
// the facts kept about it plus the characters around the caret.
#include <cstdint>

#include "TextBoxView.h"
#include "TextFacts.h"

namespace controls {

constexpr std::int16_t kBackspace = 8;

// True when typing keyAscii into `text` would exceed maxLength bytes
// (a character outside 7-bit ASCII counts two with chaTwoByte). Counted in
// 64 bits, so a long text or a large maxLength cannot wrap.
bool ExceedsMaxLength(const AnsiText& text, std::int16_t keyAscii, std::int32_t maxLength, bool chaTwoByte);
bool WouldExceedMaxLength(const TextFacts& facts, std::int16_t keyAscii, std::int32_t maxLength, bool chaTwoByte);

// The key to keep (keyAscii) or 0, for a box in numeric mode.
std::int16_t FilterNumericKey(const TextBoxView& box, double maxNumber, std::int16_t keyAscii, std::int16_t digitNumber,
                              bool allowNegative);
// The same, with `facts` those of box.text (quickest when they know the number).
std::int16_t FilterNumericKey(const TextBoxView& box, const TextFacts& facts, double maxNumber, std::int16_t keyAscii,
                              std::int16_t digitNumber, bool allowNegative);
std::int16_t FilterNumericKey(const AnsiText& text, const TextFacts& facts, std::int32_t selStart,
                              std::int32_t selLength, double maxNumber, std::int16_t keyAscii, std::int16_t digitNumber,
                              bool allowNegative);

}  // namespace controls
