#include "modPublic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/NumberText.h"

namespace controls {
namespace {

bool IsDigitKey(std::int16_t key) { return key >= '0' && key <= '9'; }

double ValueOf(const AnsiText& text) { return qv::LeadingNumber(AnsiBytes(text)); }

// 1-based position of the first ".", 0 when there is none.
std::int64_t PointPosition(const AnsiText& text) {
    const auto it = std::find(text.begin(), text.end(), static_cast<std::int16_t>('.'));
    return it == text.end() ? 0 : (it - text.begin()) + 1;
}

std::int16_t FilterDigit(const TextBoxView& box, double maxNumber, std::int16_t key, std::int16_t digitNumber) {
    const AnsiText& text = box.text;
    const std::int64_t length = static_cast<std::int64_t>(text.size());
    const std::int64_t start = std::clamp<std::int64_t>(box.selStart, 0, length);
    const std::int64_t selEnd = std::clamp<std::int64_t>(start + std::max(box.selLength, 0), 0, length);
    if (start == 0 && ValueOf(text) < 0) return 0;

    AnsiText candidate(text.begin(), text.begin() + start);
    candidate.push_back(key);
    candidate.insert(candidate.end(), text.begin() + selEnd, text.end());
    std::erase(candidate, static_cast<std::int16_t>(','));
    const double magnitude = std::fabs(ValueOf(candidate));

    const std::int64_t point = PointPosition(text);
    if (point > 0 && box.selStart >= point && length - point >= digitNumber) return 0;
    if (box.selLength < 1 && magnitude > maxNumber) return 0;
    return key;
}

std::int16_t FilterPoint(const TextBoxView& box, std::int16_t key, std::int16_t digitNumber) {
    if (digitNumber == 0) return 0;
    if (PointPosition(box.text) > 0) return 0;
    const std::int64_t following = static_cast<std::int64_t>(box.text.size()) - box.selStart;
    if (following > digitNumber) return 0;
    return key;
}

std::int16_t FilterBackspace(const TextBoxView& box, std::int16_t key) {
    const std::int64_t length = static_cast<std::int64_t>(box.text.size());
    if (length == 0 || box.selStart <= 0) return 0;
    const std::int64_t caret = std::min<std::int64_t>(box.selStart, length);
    if (box.text[caret - 1] == '.' && length - caret >= 1) return 0;
    return key;
}

std::int16_t FilterMinus(const TextBoxView& box, std::int16_t key, bool allowNegative) {
    if (!allowNegative) return 0;
    if (box.text.empty()) return key;
    return box.selStart == 0 && box.text.front() != '-' ? key : 0;
}

}  // namespace

bool ExceedsMaxLength(const AnsiText& text, std::int16_t keyAscii, std::int32_t maxLength, bool chaTwoByte) {
    // One byte per character, one more for each wide one when they count two.
    auto bytes = static_cast<std::int64_t>(text.size());
    if (chaTwoByte) {
        bytes += std::count_if(text.begin(), text.end(), IsWideCode);
    }
    const std::int64_t limit = maxLength;
    if (IsWideCode(keyAscii) && chaTwoByte && bytes > limit - 2) return true;
    return bytes > limit - 1 && keyAscii != kBackspace;
}

std::int16_t FilterNumericKey(const TextBoxView& box, double maxNumber, std::int16_t keyAscii, std::int16_t digitNumber,
                              bool allowNegative) {
    if (IsDigitKey(keyAscii)) return FilterDigit(box, maxNumber, keyAscii, digitNumber);
    if (keyAscii == '.') return FilterPoint(box, keyAscii, digitNumber);
    if (keyAscii == kBackspace) return FilterBackspace(box, keyAscii);
    if (keyAscii == '-') return FilterMinus(box, keyAscii, allowNegative);
    return 0;
}

}  // namespace controls
