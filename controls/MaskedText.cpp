#include "MaskedText.h"

#include <algorithm>

namespace controls {
namespace {

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool IsDigitPosition(std::u16string_view mask, std::int32_t position) {
    return position >= 0 && static_cast<std::size_t>(position) < mask.size() &&
           mask[static_cast<std::size_t>(position)] == kMaskDigit;
}

// Callers pass texts that fit the mask; anything else is treated as its empty layout.
std::u16string Normalised(std::u16string_view mask, std::u16string_view text) {
    return FitsMask(mask, text) ? std::u16string(text) : EmptyMaskedText(mask);
}

}  // namespace

std::u16string EmptyMaskedText(std::u16string_view mask) {
    std::u16string text(mask);
    std::replace(text.begin(), text.end(), kMaskDigit, kMaskPrompt);
    return text;
}

bool FitsMask(std::u16string_view mask, std::u16string_view text) {
    if (text.size() != mask.size()) return false;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const bool fits = mask[i] == kMaskDigit ? IsAsciiDigit(text[i]) || text[i] == kMaskPrompt : text[i] == mask[i];
        if (!fits) return false;
    }
    return true;
}

std::optional<MaskedEdit> TypeIntoMask(std::u16string_view mask, std::u16string_view text, std::int32_t caret,
                                       char16_t character) {
    if (!IsAsciiDigit(character) || !IsDigitPosition(mask, caret)) return std::nullopt;
    MaskedEdit edit{Normalised(mask, text), caret + 1};
    edit.text[static_cast<std::size_t>(caret)] = character;
    return edit;
}

MaskedEdit BlankMaskRange(std::u16string_view mask, std::u16string_view text, std::int32_t start, std::int32_t length) {
    const auto size = static_cast<std::int32_t>(mask.size());
    const std::int32_t end = std::clamp(start + std::max(length, 0), 0, size);
    start = std::clamp(start, 0, size);
    MaskedEdit edit{Normalised(mask, text), start};
    for (std::int32_t i = start; i < end; ++i) {
        if (IsDigitPosition(mask, i)) edit.text[static_cast<std::size_t>(i)] = kMaskPrompt;
    }
    return edit;
}

std::optional<MaskedEdit> DeleteInMask(std::u16string_view mask, std::u16string_view text, std::int32_t caret) {
    if (caret < 0 || caret >= static_cast<std::int32_t>(mask.size())) return std::nullopt;
    MaskedEdit edit = BlankMaskRange(mask, text, caret, 1);
    edit.caret = caret + 1;
    return edit;
}

std::optional<MaskedEdit> BackspaceInMask(std::u16string_view mask, std::u16string_view text, std::int32_t caret) {
    if (caret <= 0 || caret > static_cast<std::int32_t>(mask.size())) return std::nullopt;
    return BlankMaskRange(mask, text, caret - 1, 1);
}

}  // namespace controls
