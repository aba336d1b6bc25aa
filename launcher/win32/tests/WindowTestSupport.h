#pragma once
// Helpers for the tests of the launcher's windows.
#include <string>

#include "common/win32/TextConvert.h"
#include "common/win32/WindowsApi.h"
#include "launcher/win32/modPublicFunction.h"

namespace launcher::win::testing_support {

// The folder of the test program (where the build puts wait.avi), without "\".
inline std::string ProgramFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return qv::win::Narrow(folder.substr(0, folder.find_last_of(L'\\')));
}

// Lets the windows work (the clip is drawn by a thread of its own) for a while.
inline void PumpFor(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (GetTickCount64() < end) {
        DoEvents();
        Sleep(10);
    }
}

inline std::string WindowText(HWND hWnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hWnd, text, 256);
    return qv::win::Narrow(text);
}

inline RECT WindowRect(HWND hWnd) {
    RECT rect{};
    GetWindowRect(hWnd, &rect);
    return rect;
}

inline bool IsTopMost(HWND hWnd) { return (GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

}  // namespace launcher::win::testing_support
