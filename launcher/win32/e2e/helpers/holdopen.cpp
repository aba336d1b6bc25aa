// Holds a file open with no sharing, as another program (a scanner, an
// editor) can on a school PC: holdopen <file> <release file> [seconds].
// Creates "<file>.held" once the file is open, then keeps it open until the
// release file exists or the seconds (30 without them) are over. Exit code 0
// after holding it, 1 when the file could not be opened.
#include <cwchar>
#include <string>

#include "common/win32/WindowsApi.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const HANDLE file = CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const std::wstring held = std::wstring(argv[1]) + L".held";
    const HANDLE marker =
        CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    const ULONGLONG limit = (argc > 3 ? std::wcstoul(argv[3], nullptr, 10) : 30) * 1000ULL;
    for (const ULONGLONG end = GetTickCount64() + limit;
         GetTickCount64() < end && GetFileAttributesW(argv[2]) == INVALID_FILE_ATTRIBUTES;) {
        Sleep(50);
    }
    CloseHandle(file);
    return 0;
}
