#pragma once
// Numbers read from text and rounded the way the Windows runtime does it,
// independent of the locale: the decimal separator is always ".".
#include <cstdint>
#include <optional>
#include <string_view>

namespace qv {

// The number the text begins with: blanks, tabs and line feeds are skipped
// wherever they stand, then an optional sign, digits with at most one ".",
// and an optional exponent marked E or D (either case). 0 when the text does
// not begin with a number; a magnitude beyond double gives +-infinity.
double LeadingNumber(std::string_view text);

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
