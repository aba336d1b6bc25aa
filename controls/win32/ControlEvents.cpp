#include "ControlEvents.h"

#include <cmath>

#include "common/win32/com/ComError.h"
#include "common/win32/com/TypeLibrary.h"
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

constexpr float kTwipsPerInch = 1440.0f;

float ScreenPixelsPerInch(bool horizontal) {
    HDC screen = GetDC(nullptr);
    const int perInch = screen ? GetDeviceCaps(screen, horizontal ? LOGPIXELSX : LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return static_cast<float>(perInch > 0 ? perInch : 96);
}

}  // namespace

float PixelsToTwips(long pixels, bool horizontal) {
    return static_cast<float>(pixels) * kTwipsPerInch / ScreenPixelsPerInch(horizontal);
}

long TwipsToPixels(float twips, bool horizontal) {
    return std::lround(twips * ScreenPixelsPerInch(horizontal) / kTwipsPerInch);
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

namespace {

bool RegisterControlClass(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = qv::win::com::CurrentModule();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND CreateControlSurface(const wchar_t* name, WNDPROC procedure, HWND parent, SIZE size, void* owner) {
    if (!RegisterControlClass(name, procedure)) return nullptr;
    return CreateWindowExW(WS_EX_CONTROLPARENT, name, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, size.cx, size.cy, parent,
                           nullptr, qv::win::com::CurrentModule(), owner);
}

}  // namespace controls::win
