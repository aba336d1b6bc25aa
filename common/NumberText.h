#pragma once
// Numbers read from text and rounded the way the Windows runtime does it,
// independent of the locale: the decimal separator is always ".".
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qv {

// The number the text begins with: blanks, tabs and line feeds are skipped
// wherever they stand, then an optional sign, digits with at most one ".",
// and an optional exponent marked E or D (either case). 0 when the text does
// not begin with a number; a magnitude beyond double gives +-infinity.
double LeadingNumber(std::string_view text);

// The leading number and how much of the text decided it: the characters
// from `examined` on cannot change the value. `open` when the digits run to
// the end of the text, so that a digit added there extends them (not an
// exponent's).
struct LeadingNumberScan {
    double value = 0.0;
    std::size_t examined = 0;
    bool open = false;
    // Open, and no digit added at the end can change the value any more
    // (beyond double's range, or far past the digits that decide it).
    bool settled = false;
};
LeadingNumberScan ScanLeadingNumber(std::string_view text);

// The whole text as one number of the same form, with blanks (space, tab, CR,
// LF) allowed only before and after it. Empty, trailing garbage, or a
// magnitude beyond double: nullopt.
std::optional<double> ParseNumber(std::string_view text);

// Nearest whole number, halves to the even neighbour; NaN and infinities unchanged.
double RoundHalfEven(double value);

// Rounded half to even; nullopt when the result is outside the type's range.
std::optional<std::int16_t> ToInt16(double value);
std::optional<std::int32_t> ToInt32(double value);

}  // namespace qv
