#pragma once
// Letter case and length rules for UTF-8 text. Only the ASCII letters have a
// case here; every other byte compares as it is.
#include <cstddef>
#include <string>
#include <string_view>

namespace qv {

std::string AsciiLower(std::string_view text);
std::string AsciiUpper(std::string_view text);
bool EqualsNoCase(std::string_view left, std::string_view right);

// Number of UTF-16 code units the UTF-8 text becomes: two for a code point at
// or above U+10000, one for any other code point and one for each byte that is
// not part of a well-formed sequence.
std::size_t Utf16Length(std::string_view utf8);

}  // namespace qv
