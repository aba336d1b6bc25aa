// A tiny self-registering library for the download tests: registering it
// leaves "<its own path>.registered" beside it, so a test can see that
// regsvr32 ran on the file the launcher unpacked, and every registration and
// unregistration appends a line "register <file size>" or "unregister <file
// size>" to "<its own path>.registrations", so a test can tell which copy was
// registered. While the file named by the environment variable
// QV_REGMARKER_HOLD exists (at most a minute), registration waits after
// leaving its marker: a test can end the launcher at that point.
#include "common/win32/WindowsApi.h"

namespace {

HMODULE g_module = nullptr;
constexpr int kHoldSteps = 1200;  // of 50 ms: a minute

// Own path plus a suffix, or false when it does not fit.
bool OwnPathWith(const wchar_t* suffix, wchar_t (&path)[MAX_PATH + 32]) {
    const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    lstrcatW(path, suffix);
    return true;
}

bool Record(const char* what) {
    wchar_t self[MAX_PATH + 32] = {};
    wchar_t record[MAX_PATH + 32] = {};
    if (!OwnPathWith(L"", self) || !OwnPathWith(L".registrations", record)) return false;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(self, GetFileExInfoStandard, &data)) return false;
    char line[64] = {};
    wsprintfA(line, "%s %lu\r\n", what, data.nFileSizeLow);
    const HANDLE file =
        CreateFileW(record, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    CloseHandle(file);
    return wrote != FALSE;
}

void WaitWhileHeld() {
    wchar_t hold[MAX_PATH + 32] = {};
    const DWORD length = GetEnvironmentVariableW(L"QV_REGMARKER_HOLD", hold, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    for (int step = 0; step < kHoldSteps && GetFileAttributesW(hold) != INVALID_FILE_ATTRIBUTES; ++step) Sleep(50);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    wchar_t path[MAX_PATH + 32] = {};
    if (!OwnPathWith(L".registered", path) || !Record("register")) return E_FAIL;
    const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return E_FAIL;
    CloseHandle(file);
    WaitWhileHeld();
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return Record("unregister") ? S_OK : E_FAIL;
}
