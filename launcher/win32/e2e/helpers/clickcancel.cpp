// Clicks the download window's Cancel button once the window shows a speed
// line (a transfer is under way). Gives up after the seconds given as its
// argument (30 without one). Exit code 0 when it clicked, 1 otherwise.
#include <cwchar>
#include <cstdlib>
#include <string>

#include "common/win32/WindowsApi.h"

namespace {

struct Search {
    bool transferring = false;
    HWND cancel = nullptr;
};

BOOL CALLBACK LookAtChild(HWND child, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    wchar_t text[256] = {};
    GetWindowTextW(child, text, 256);
    if (std::wcsncmp(text, L"已下载", 3) == 0) search.transferring = true;
    if (std::wcscmp(text, L"取消") == 0) search.cancel = child;
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const ULONGLONG limit = (argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 30) * 1000ULL;
    for (const ULONGLONG end = GetTickCount64() + limit; GetTickCount64() < end; Sleep(50)) {
        const HWND window = FindWindowW(L"QuorvelDownloadWindow", nullptr);
        if (!window) continue;
        Search search;
        EnumChildWindows(window, LookAtChild, reinterpret_cast<LPARAM>(&search));
        if (search.transferring && search.cancel) {
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(search.cancel), BN_CLICKED),
                         reinterpret_cast<LPARAM>(search.cancel));
            return 0;
        }
    }
    return 1;
}
