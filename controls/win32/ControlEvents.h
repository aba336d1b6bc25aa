#pragma once
// What both controls and their inner boxes need to raise their keyboard and
// mouse events, measure in twips, report refused values and make their
// surface windows.
#include "common/win32/WindowsApi.h"
#include <oaidl.h>

namespace controls::win {

enum : DISPID {
    kEventClick = 1,
    kEventDblClick,
    kEventKeyDown,
    kEventKeyPress,
    kEventKeyUp,
    kEventMouseDown,
    kEventMouseMove,
    kEventMouseUp,
    kEventChange,
};

// Shift 1, Ctrl 2, Alt 4, as the key and mouse events carry them.
short ShiftState();
// Left 1, right 2, middle 4: the button of a button message, or those held during a move.
short MouseButtons(WPARAM keys, UINT message);
// Screen pixels and twips (1440 to the inch), across or down.
float PixelsToTwips(long pixels, bool horizontal);
long TwipsToPixels(float twips, bool horizontal);

// CTL_E_INVALIDPROPERTYVALUE with its description in the thread's error info.
HRESULT InvalidPropertyValue(const IID& iid);
// True for a mouse message the events describe (down, move, up of any button).
bool IsMouseEventMessage(UINT message);
// The event of a mouse message (kEventMouseDown/Move/Up).
DISPID MouseEventOf(UINT message);

// A control's own window of class `name` (registered once by this library),
// hidden under `parent`, the size of the control; `owner` goes to WM_NCCREATE.
HWND CreateControlSurface(const wchar_t* name, WNDPROC procedure, HWND parent, SIZE size, void* owner);

}  // namespace controls::win
