#pragma once
// Base64 in the standard alphabet with "=" padding (RFC 4648, section 4), as
// publisher keys and entry signatures travel in settings and answers.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

std::string EncodeBase64(const unsigned char* data, std::size_t size);

// Only the canonical form is accepted: a multiple of four characters, padding
// only at the end, unused bits zero and nothing else (no blanks or line
// breaks). nullopt otherwise.
std::optional<std::vector<unsigned char>> DecodeBase64(std::string_view text);

}  // namespace launcher
