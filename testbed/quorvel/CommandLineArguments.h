#pragma once
#include <string_view>

namespace testbed {

// The arguments of a command line: what follows the program name, without the
// blanks in between. The launcher starts the program by an unquoted path that
// may hold blanks, so an unquoted program name runs to the first ".exe" that
// ends a word (any letter case), or else to the first blank.
std::string_view ArgumentsOf(std::string_view commandLine);

}  // namespace testbed
