#pragma once
// What the key rules read from the inner text box at the moment of a key or
// focus change. The text is kept as the box's characters in the ANSI code
// page: one element per character, its code read the way KeyAscii carries
// it (single-byte 0..255, a double-byte character as one signed 16-bit code).
#include <cstdint>
#include <string>
#include <vector>

namespace controls {

using AnsiText = std::vector<std::int16_t>;

struct TextBoxView {
    AnsiText text;
    std::int32_t selStart = 0;   // characters before the caret or selection
    std::int32_t selLength = 0;  // selected characters
};

// Characters of a single-byte text, for tests and for ASCII-only callers.
AnsiText AnsiFromAscii(std::string_view ascii);

// The ANSI bytes of the characters (a double-byte code gives its two bytes).
std::string AnsiBytes(const AnsiText& text);

// True for a code outside 7-bit ASCII: a double-byte character or a
// single-byte code above 127.
inline bool IsWideCode(std::int32_t code) { return code > 127 || code < -127; }

}  // namespace controls
