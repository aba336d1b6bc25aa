#pragma once
// The launcher's argument text: everything after the program name, as the
// process's command line holds it.
#include <string_view>

namespace launcher {

// Skips the program name (quoted or not) and the blanks after it; the rest is
// returned unchanged, trailing blanks included.
std::string_view ArgumentText(std::string_view commandLine);

}  // namespace launcher
