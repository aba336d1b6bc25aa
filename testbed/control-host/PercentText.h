#pragma once
// Texts on a command line or in a bag file: every byte that is not a letter,
// digit or one of "-._~" becomes %XX, so blanks and UTF-8 pass as one word.
// A lone "-" stands for the empty text.
#include <optional>
#include <string>
#include <string_view>

namespace control_host {

std::string PercentEncode(std::string_view utf8);
// Empty on a malformed escape ("%4", "%zz").
std::optional<std::string> PercentDecode(std::string_view word);

}  // namespace control_host
