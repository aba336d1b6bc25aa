#pragma once
// What both controls need to raise their keyboard and mouse events and to
// make their surface windows.
#include "WindowsApi.h"
#include <oaidl.h>

namespace controls::win {

enum : DISPID {
    kEventClick = 1, kEventDblClick, kEventKeyDown, kEventKeyPress, kEventKeyUp,
    kEventMouseDown, kEventMouseMove, kEventMouseUp, kEventChange,
};

// Shift 1, Ctrl 2, Alt 4, as the key and mouse events carry them.
short ShiftState();
// Left 1, right 2, middle 4: the button of a button message, or those held during a move.
short MouseButtons(WPARAM keys, UINT message);
// Mouse positions go to the host in twips.
float PixelsToTwips(int pixels, HWND window, int axis);
// True for a mouse message the events describe (down, move, up of any button).
bool IsMouseEventMessage(UINT message);
// The event of a mouse message (kEventMouseDown/Move/Up).
DISPID MouseEventOf(UINT message);

// A control's own window of class `name` (registered once by this library),
// hidden under `parent`, the size of the control; `owner` goes to WM_NCCREATE.
HWND CreateControlSurface(const wchar_t* name, WNDPROC procedure, HWND parent, SIZE size, void* owner);

}  // namespace controls::win
