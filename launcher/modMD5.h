#pragma once
// The MD5 message digest (RFC 1321) of a text, for the update service's
// request signature.
//
// Only ASCII text is hashed. The signed texts (salt, customer code, digits,
// database name) are ASCII by contract; text with any byte of 0x80 or above
// is refused rather than hashed, because the service hashes one byte per
// character of its code page and a double-byte character has no agreed
// single-byte form, so any digest of it would be meaningless to the service.
#include <optional>
#include <string>
#include <string_view>

namespace launcher {

// 32 lower-case hexadecimal digits, the digest's bytes in RFC 1321 output
// order; nullopt for text that is not ASCII.
std::optional<std::string> MD5Hex(std::string_view text);

}  // namespace launcher
