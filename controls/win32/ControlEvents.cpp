#include "ControlEvents.h"

#include "common/win32/com/ComError.h"
#include "common/win32/com/TypeLibrary.h"
#include "common/win32/ScreenUnits.h"
#include "common/win32/WindowClass.h"
#include <olectl.h>

namespace controls::win {

short ShiftState() {
    short shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
    if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
    if (GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
}

short MouseButtons(WPARAM keys, UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            return 1;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return 2;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return 4;
        default:
            return static_cast<short>(((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
                                      ((keys & MK_MBUTTON) ? 4 : 0));
    }
}

namespace {

int ScreenPixelsPerInch(bool horizontal) {
    const SIZE perInch = qv::win::ScreenPixelsPerInch();
    return horizontal ? perInch.cx : perInch.cy;
}

}  // namespace

float PixelsToTwips(long pixels, bool horizontal) {
    return static_cast<float>(qv::win::PixelsToTwips(pixels, ScreenPixelsPerInch(horizontal)));
}

long TwipsToPixels(float twips, bool horizontal) {
    return qv::win::TwipsToPixels(twips, ScreenPixelsPerInch(horizontal));
}

HRESULT InvalidPropertyValue(const IID& iid) {
    return qv::win::com::SetComError(CTL_E_INVALIDPROPERTYVALUE, iid, "Lumen_Control", "无效属性值");
}

bool IsMouseEventMessage(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_MOUSEMOVE:
            return true;
        default:
            return false;
    }
}

DISPID MouseEventOf(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            return kEventMouseDown;
        case WM_MOUSEMOVE:
            return kEventMouseMove;
        default:
            return kEventMouseUp;
    }
}

HWND CreateControlSurface(const wchar_t* name, WNDPROC procedure, HWND parent, SIZE size, void* owner) {
    WNDCLASSEXW windowClass = qv::win::WindowClass(name, procedure, qv::win::com::CurrentModule());
    windowClass.style = CS_DBLCLKS;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    if (!qv::win::RegisterWindowClass(windowClass)) return nullptr;
    return CreateWindowExW(WS_EX_CONTROLPARENT, name, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, size.cx, size.cy, parent,
                           nullptr, qv::win::com::CurrentModule(), owner);
}

}  // namespace controls::win
