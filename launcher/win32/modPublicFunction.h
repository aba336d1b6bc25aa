#pragma once
// Small window routines shared by the launcher's windows.
#include "common/win32/WindowsApi.h"

namespace launcher::win {

// Puts the window into the topmost band (true) or takes it out (false),
// keeping its position and size. Returns SetWindowPos's result when setting
// and 0 when clearing.
BOOL SetTopMost(HWND hWnd, bool bTopMost);

// Lets the thread's windows handle the messages waiting for them (paint and
// input included), then returns. A WM_QUIT found on the way is put back,
// and the result is then false: the program is asked to end.
bool DoEvents();

}  // namespace launcher::win
