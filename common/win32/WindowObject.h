#pragma once
// Routes a window's messages to the C++ object that created it: pass the
// object as CreateWindowExW's lpCreateParams and call this from the class's
// static window procedure with its handle member and its message handler.
// The handle member is set on WM_NCCREATE and cleared on WM_NCDESTROY.
#include "WindowsApi.h"

namespace qv::win {

template <class T>
LRESULT RouteToWindowObject(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, HWND T::*handle,
                            LRESULT (T::*handler)(UINT, WPARAM, LPARAM)) {
    if (uMsg == WM_NCCREATE) {
        auto* created = static_cast<T*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->*handle = hWnd;
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_NCDESTROY) {
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        self->*handle = nullptr;
        return DefWindowProcW(hWnd, uMsg, wParam, lParam);
    }
    return (self->*handler)(uMsg, wParam, lParam);
}

}  // namespace qv::win
