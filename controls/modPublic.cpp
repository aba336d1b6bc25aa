#include "modPublic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/NumberText.h"

namespace controls {
namespace {

bool IsDigitKey(std::int16_t key) { return key >= '0' && key <= '9'; }

// The text without a copy, and where the caret or selection stands in it.
struct BoxAt {
    const AnsiText& text;
    std::int32_t selStart;
    std::int32_t selLength;
};

// Whether the number the text would begin with after the key, commas taken
// out, exceeds maxNumber. Only what the kept facts cannot answer is parsed.
bool CandidateExceeds(const BoxAt& box, const TextFacts& facts, std::int64_t start, std::int64_t selEnd,
                      std::int16_t key, double maxNumber) {
    // The key lands after every character that decided the number.
    if (start >= facts.plainReach) return std::fabs(facts.plainValue) > maxNumber;
    // A digit added to digits at the end only makes the number larger.
    if (start == facts.length && facts.plainOpen && std::fabs(facts.plainValue) > maxNumber) return true;
    // Nor, past the digits that decide it, changes it at all.
    if (start == facts.length && facts.plainSettled) return std::fabs(facts.plainValue) > maxNumber;
    const AnsiText& text = box.text;
    AnsiText candidate(text.begin(), text.begin() + start);
    candidate.push_back(key);
    candidate.insert(candidate.end(), text.begin() + selEnd, text.end());
    std::erase(candidate, static_cast<std::int16_t>(','));
    return std::fabs(qv::LeadingNumber(AnsiBytes(candidate))) > maxNumber;
}

std::int16_t FilterDigit(const BoxAt& box, const TextFacts& facts, double maxNumber, std::int16_t key,
                         std::int16_t digitNumber) {
    const std::int64_t length = facts.length;
    const std::int64_t start = std::clamp<std::int64_t>(box.selStart, 0, length);
    const std::int64_t selEnd = std::clamp<std::int64_t>(start + std::max(box.selLength, 0), 0, length);
    if (start == 0 && facts.value < 0) return 0;
    const std::int64_t point = facts.pointPosition;
    if (point > 0 && box.selStart >= point && length - point >= digitNumber) return 0;
    if (box.selLength < 1 && CandidateExceeds(box, facts, start, selEnd, key, maxNumber)) return 0;
    return key;
}

std::int16_t FilterPoint(const BoxAt& box, const TextFacts& facts, std::int16_t key, std::int16_t digitNumber) {
    if (digitNumber == 0) return 0;
    if (facts.pointPosition > 0) return 0;
    const std::int64_t following = facts.length - box.selStart;
    if (following > digitNumber) return 0;
    return key;
}

std::int16_t FilterBackspace(const BoxAt& box, const TextFacts& facts, std::int16_t key) {
    const std::int64_t length = facts.length;
    if (length == 0 || box.selStart <= 0) return 0;
    const std::int64_t caret = std::min<std::int64_t>(box.selStart, length);
    if (box.text[caret - 1] == '.' && length - caret >= 1) return 0;
    return key;
}

std::int16_t FilterMinus(const BoxAt& box, std::int16_t key, bool allowNegative) {
    if (!allowNegative) return 0;
    if (box.text.empty()) return key;
    return box.selStart == 0 && box.text.front() != '-' ? key : 0;
}

}  // namespace

bool ExceedsMaxLength(const AnsiText& text, std::int16_t keyAscii, std::int32_t maxLength, bool chaTwoByte) {
    TextFacts facts;
    facts.length = static_cast<std::int64_t>(text.size());
    if (chaTwoByte) facts.wideCount = std::count_if(text.begin(), text.end(), IsWideCode);
    return WouldExceedMaxLength(facts, keyAscii, maxLength, chaTwoByte);
}

bool WouldExceedMaxLength(const TextFacts& facts, std::int16_t keyAscii, std::int32_t maxLength, bool chaTwoByte) {
    // One byte per character, one more for each wide one when they count two.
    const std::int64_t bytes = facts.length + (chaTwoByte ? facts.wideCount : 0);
    const std::int64_t limit = maxLength;
    if (IsWideCode(keyAscii) && chaTwoByte && bytes > limit - 2) return true;
    return bytes > limit - 1 && keyAscii != kBackspace;
}

std::int16_t FilterNumericKey(const TextBoxView& box, double maxNumber, std::int16_t keyAscii, std::int16_t digitNumber,
                              bool allowNegative) {
    return FilterNumericKey(box, FactsOf(box.text), maxNumber, keyAscii, digitNumber, allowNegative);
}

std::int16_t FilterNumericKey(const TextBoxView& box, const TextFacts& facts, double maxNumber, std::int16_t keyAscii,
                              std::int16_t digitNumber, bool allowNegative) {
    return FilterNumericKey(box.text, facts, box.selStart, box.selLength, maxNumber, keyAscii, digitNumber,
                            allowNegative);
}

std::int16_t FilterNumericKey(const AnsiText& text, const TextFacts& facts, std::int32_t selStart,
                              std::int32_t selLength, double maxNumber, std::int16_t keyAscii, std::int16_t digitNumber,
                              bool allowNegative) {
    const BoxAt box{text, selStart, selLength};
    if (IsDigitKey(keyAscii)) {
        // Only a digit needs the number the text begins with.
        if (!facts.numberKnown) return FilterDigit(box, FactsOf(text), maxNumber, keyAscii, digitNumber);
        return FilterDigit(box, facts, maxNumber, keyAscii, digitNumber);
    }
    if (keyAscii == '.') return FilterPoint(box, facts, keyAscii, digitNumber);
    if (keyAscii == kBackspace) return FilterBackspace(box, facts, keyAscii);
    if (keyAscii == '-') return FilterMinus(box, keyAscii, allowNegative);
    return 0;
}

}  // namespace controls
