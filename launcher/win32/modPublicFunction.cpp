#include "modPublicFunction.h"

namespace launcher::win {

BOOL SetTopMost(HWND hWnd, bool bTopMost) {
    const BOOL result =
        SetWindowPos(hWnd, bTopMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return bTopMost ? result : FALSE;
}

bool DoEvents() {
    // A window that keeps posting to itself must not hold the caller here.
    constexpr ULONGLONG kMaxMilliseconds = 1000;
    const ULONGLONG start = GetTickCount64();
    MSG msg;
    while (GetTickCount64() - start < kMaxMilliseconds && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace launcher::win
