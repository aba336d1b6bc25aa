#pragma once
// What the driver reads from windows of other processes. Messages go through
// SendMessageTimeout so that a hung program cannot stop the driver.
#include <optional>
#include <string>
#include <vector>

#include "common/win32/WindowsApi.h"

namespace testbed {

inline constexpr UINT kSendTimeoutMs = 2000;

std::vector<HWND> TopLevelWindows();
// Every descendant, parents before their children, siblings in z-order.
std::vector<HWND> ChildWindows(HWND parent);

std::string ClassNameOf(HWND window);
std::string TextOf(HWND window);  // WM_GETTEXT; "" when the window does not answer
bool IsTopmost(HWND window);
DWORD ProcessOf(HWND window);

// SendMessageTimeout's result; empty when the message was not answered in time.
std::optional<LRESULT> SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace testbed
