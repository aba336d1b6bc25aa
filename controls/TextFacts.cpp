#include "TextFacts.h"

#include <algorithm>
#include <string>

#include "common/NumberText.h"

namespace controls {
namespace {

// A character the leading number can take in (or skip): the number ends at
// the first other one, so nothing after that is read.
bool CanBelongToNumber(std::int16_t code) {
    if (code >= '0' && code <= '9') return true;
    switch (code) {
        case '+':
        case '-':
        case '.':
        case ',':
        case 'e':
        case 'E':
        case 'd':
        case 'D':
        case ' ':
        case '\t':
        case '\n':
            return true;
        default:
            return false;
    }
}

// The bytes of the leading characters that can belong to a number and of
// the one that ends them (when there is one), commas left out when
// `withoutCommas`. All but that last are single bytes.
struct NumberBytes {
    std::string bytes;
    bool cut = false;       // a character that cannot belong to a number ended them
    bool hasComma = false;  // a comma was among them
};

NumberBytes NumberBytesOf(const AnsiText& text, bool withoutCommas) {
    NumberBytes found;
    found.bytes.resize(text.size() + 1);
    std::size_t at = 0;
    auto code = text.begin();
    const auto isDigit = [](std::int16_t c) { return c >= '0' && c <= '9'; };
    while (code != text.end()) {
        // Runs of digits, the bulk of a long number, go over in one step.
        const auto digits = std::find_if_not(code, text.end(), isDigit);
        std::transform(code, digits, found.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       [](std::int16_t c) { return static_cast<char>(c); });
        at += static_cast<std::size_t>(digits - code);
        code = digits;
        if (code == text.end() || !CanBelongToNumber(*code)) break;
        if (*code == ',') {
            found.hasComma = true;
            if (withoutCommas) {
                ++code;
                continue;
            }
        }
        found.bytes[at++] = static_cast<char>(*code);
        ++code;
    }
    found.bytes.resize(at);
    if (code != text.end()) {
        found.cut = true;
        const auto last = static_cast<std::uint16_t>(*code);
        if (last > 0xFF) found.bytes += static_cast<char>(last >> 8);
        found.bytes += static_cast<char>(last & 0xFF);
    }
    return found;
}

// The character that gave byte `byte` (0-based) of the comma-free text.
std::int64_t OwnerOfPlainByte(const AnsiText& text, std::size_t byte) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ',') bytes += static_cast<std::uint16_t>(text[i]) > 0xFF ? 2 : 1;
        if (bytes > byte) return static_cast<std::int64_t>(i);
    }
    return static_cast<std::int64_t>(text.size());
}

std::int64_t FirstPointFrom(const AnsiText& text, std::int64_t from) {
    const auto point = std::find(text.begin() + from, text.end(), static_cast<std::int16_t>('.'));
    return point == text.end() ? 0 : (point - text.begin()) + 1;
}

}  // namespace

TextFacts FactsOf(const AnsiText& text, bool withNumber) {
    TextFacts facts;
    facts.length = static_cast<std::int64_t>(text.size());
    facts.wideCount = std::count_if(text.begin(), text.end(), IsWideCode);
    facts.pointPosition = FirstPointFrom(text, 0);
    if (withNumber) AddNumberFacts(text, facts);
    return facts;
}

void AddNumberFacts(const AnsiText& text, TextFacts& facts) {
    // Only the characters up to the first that cannot belong to a number, and that one.
    const NumberBytes plain = NumberBytesOf(text, true);
    const qv::LeadingNumberScan scan = qv::ScanLeadingNumber(plain.bytes);
    facts.numberKnown = true;
    facts.value = plain.hasComma ? qv::LeadingNumber(NumberBytesOf(text, false).bytes) : scan.value;
    facts.plainValue = scan.value;
    facts.plainOpen = scan.open && !plain.cut;
    facts.plainSettled = scan.settled && !plain.cut;
    // Every byte read: the whole text counts, and what follows it could too.
    facts.plainReach = !plain.cut && scan.examined >= plain.bytes.size()
                           ? facts.length + 1
                           : OwnerOfPlainByte(text, scan.examined - 1) + 1;
}

std::int64_t ReplaceSelection(AnsiText& text, TextFacts& facts, std::int64_t start, std::int64_t length,
                              std::int16_t code) {
    const auto size = static_cast<std::int64_t>(text.size());
    start = std::clamp<std::int64_t>(start, 0, size);
    const std::int64_t end = std::clamp<std::int64_t>(start + std::max<std::int64_t>(length, 0), start, size);
    const auto removedWide = std::count_if(text.begin() + start, text.begin() + end, IsWideCode);
    const std::int64_t point = facts.pointPosition;
    text.erase(text.begin() + start, text.begin() + end);
    text.insert(text.begin() + start, code);

    facts.length = static_cast<std::int64_t>(text.size());
    facts.wideCount += (IsWideCode(code) ? 1 : 0) - removedWide;
    if (point > start && point <= end) {
        // The first "." was replaced: the next one stands at or after the new character.
        facts.pointPosition = FirstPointFrom(text, start);
    } else if (point == 0 || point > end) {
        facts.pointPosition = code == '.' ? start + 1 : (point == 0 ? 0 : point + 1 - (end - start));
    }
    // A digit at the end of a number that no digit there changes any more
    // (the number with commas stopped at the first of them, before the end).
    const bool stillKnown =
        facts.numberKnown && facts.plainSettled && start == size && end == start && code >= '0' && code <= '9';
    if (stillKnown) {
        facts.plainReach = facts.length + 1;
    } else {
        facts.numberKnown = false;
    }
    return start;
}

}  // namespace controls
