#pragma once
// The address and port lists as the client hands them over.
#include <string>
#include <string_view>
#include <vector>

namespace monitor {

// Pieces between "," separators, exactly as they stand (no trimming); an
// empty text gives no pieces, "a," gives "a" and "".
std::vector<std::string> SplitList(std::string_view text);

// A port text as a 32-bit integer the way the runtime converts text to Long:
// blanks around it allowed, fractions rounded half to even. Not a number:
// type mismatch (13); outside the range: overflow (6).
long PortNumber(std::string_view text);

}  // namespace monitor
