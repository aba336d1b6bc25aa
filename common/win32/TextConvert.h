#pragma once
// Text at the Win32 boundary: UTF-8 inside, UTF-16 for the W functions, and
// the system's ANSI code page for files and the A functions.
#include <string>
#include <string_view>

#include "WindowsApi.h"

namespace qv::win {

// Ill-formed input becomes U+FFFD; characters the ANSI code page lacks become
// its default character.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
std::string ToAnsi(std::string_view utf8);
std::string FromAnsi(std::string_view ansi);

// The system's description of an error code in the user's language, without
// the trailing line break and full stop.
std::string LastErrorText(DWORD code);

}  // namespace qv::win
