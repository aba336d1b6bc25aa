#include "TextFacts.h"

#include <algorithm>
#include <vector>

#include "common/NumberText.h"

namespace controls {

TextFacts FactsOf(const AnsiText& text, bool withNumber) {
    TextFacts facts;
    facts.length = static_cast<std::int64_t>(text.size());
    facts.wideCount = std::count_if(text.begin(), text.end(), IsWideCode);
    const auto point = std::find(text.begin(), text.end(), static_cast<std::int16_t>('.'));
    facts.pointPosition = point == text.end() ? 0 : (point - text.begin()) + 1;
    if (!withNumber) return facts;
    facts.numberKnown = true;
    facts.value = qv::LeadingNumber(AnsiBytes(text));

    // The comma-free bytes, each with the character it came from.
    std::string plain;
    std::vector<std::int64_t> owner;
    plain.reserve(text.size());
    owner.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ',') continue;
        const auto code = static_cast<std::uint16_t>(text[i]);
        if (code > 0xFF) {
            plain += static_cast<char>(code >> 8);
            owner.push_back(static_cast<std::int64_t>(i));
        }
        plain += static_cast<char>(code & 0xFF);
        owner.push_back(static_cast<std::int64_t>(i));
    }
    const qv::LeadingNumberScan scan = qv::ScanLeadingNumber(plain);
    facts.plainValue = scan.value;
    facts.plainOpen = scan.open;
    // Every byte read: the whole text counts, and what follows it could too.
    facts.plainReach = scan.examined >= plain.size() ? facts.length + 1 : owner[scan.examined - 1] + 1;
    return facts;
}

}  // namespace controls
