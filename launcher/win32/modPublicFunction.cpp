#include "modPublicFunction.h"

namespace launcher::win {

BOOL SetTopMost(HWND hWnd, bool bTopMost) {
    const BOOL result =
        SetWindowPos(hWnd, bTopMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return bTopMost ? result : FALSE;
}

int TwipsToPixels(int nTwips, int nPixelsPerInch) { return MulDiv(nTwips, nPixelsPerInch, 1440); }

POINT ScreenPixelsPerInch() {
    const HDC screen = GetDC(nullptr);
    const POINT ppi{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
    ReleaseDC(nullptr, screen);
    return ppi;
}

void DoEvents() {
    // A window that keeps posting to itself must not hold the caller here.
    constexpr ULONGLONG kMaxMilliseconds = 1000;
    const ULONGLONG start = GetTickCount64();
    MSG msg;
    while (GetTickCount64() - start < kMaxMilliseconds && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace launcher::win
