#pragma once
// Typed characters as the controls' rules and events see them: KeyAscii is
// the character's code in the system's ANSI code page, a double-byte
// character read as one signed 16-bit number. The inner boxes are Unicode
// windows, so their WM_CHAR is converted both ways.
#include <cstdint>
#include <string>

#include "controls/TextBoxView.h"
#include "common/win32/WindowsApi.h"

namespace controls::win {

// 0 when the character has no ANSI code.
std::int16_t KeyAsciiFromWideChar(wchar_t character);
// 0 when the code is not a character of the ANSI code page.
wchar_t WideCharFromKeyAscii(std::int16_t keyAscii);

// A Unicode text as the ANSI characters the rules count.
AnsiText AnsiTextFromWide(const std::wstring& text);

}  // namespace controls::win
