#pragma once
// The two key filters of the text box: the byte budget and the numeric rule.
#include <cstdint>

#include "TextBoxView.h"

namespace controls {

constexpr std::int16_t kBackspace = 8;

// True when typing keyAscii into `text` would exceed maxLength bytes
// (a character outside 7-bit ASCII counts two with chaTwoByte). Counted in
// 64 bits, so a long text or a large maxLength cannot wrap.
bool ExceedsMaxLength(const AnsiText& text, std::int16_t keyAscii, std::int32_t maxLength, bool chaTwoByte);

// The key to keep (keyAscii) or 0, for a box in numeric mode.
std::int16_t FilterNumericKey(const TextBoxView& box, double maxNumber, std::int16_t keyAscii, std::int16_t digitNumber,
                              bool allowNegative);

}  // namespace controls
