#pragma once
// Real input for whatever window has the focus, as a user would type and
// click, and a message pump that runs until that input has been handled.
#include <functional>
#include <string_view>

#include "common/win32/WindowsApi.h"

namespace control_host {

enum class KeyModifier { None, Shift, Control };

// Each UTF-16 unit as a key-down and key-up of KEYEVENTF_UNICODE.
UINT SendText(std::wstring_view text);
UINT SendKey(WORD virtualKey, KeyModifier modifier);
// A left click at a point in screen coordinates.
UINT SendClick(POINT screen);

// Pumps the thread's messages (each offered to `preTranslate` first, which
// returns true when it consumed it) until the queue has been empty for
// `quietMs`, at most `limitMs`.
void PumpUntilQuiet(const std::function<bool(MSG&)>& preTranslate, DWORD quietMs = 100, DWORD limitMs = 3000);

}  // namespace control_host
