#pragma once
// Well-formed UTF-8 as the service's records carry it: no overlong forms, no
// surrogates, nothing above U+10FFFF, and no NUL.
#include <cstddef>
#include <string>
#include <string_view>

namespace updservice {

bool IsRecordText(std::string_view text);

// Every byte that does not belong to a well-formed character (and every NUL)
// becomes U+FFFD; then the text is cut after the last whole character that
// fits into `maxBytes`.
std::string ToRecordText(std::string_view text, std::size_t maxBytes);

}  // namespace updservice
