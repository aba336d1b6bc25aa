// A stand-in program for the process tests: it reports how it was started in
// "<its own path>.started" (process id, start-up flags and window state, the
// raw command line) and then sleeps for the number of seconds that ends its
// command line (30 when there is none, at most 120).
#include <cstdio>
#include <cwchar>
#include <string>

#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"

namespace {

DWORD SecondsToSleep(std::wstring_view commandLine) {
    while (!commandLine.empty() && commandLine.back() == L' ') {
        commandLine.remove_suffix(1);
    }
    const std::size_t blank = commandLine.find_last_of(L' ');
    const std::wstring last(blank == std::wstring_view::npos ? std::wstring_view{} : commandLine.substr(blank + 1));
    wchar_t* end = nullptr;
    const unsigned long seconds = std::wcstoul(last.c_str(), &end, 10);
    if (last.empty() || *end != L'\0') {
        return 30;
    }
    return seconds > 120 ? 120 : static_cast<DWORD>(seconds);
}

std::wstring OwnPath() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// Written under another name and moved into place, so a reader sees all or nothing.
void Report(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    char head[64];
    std::snprintf(head, sizeof head, "%lu\n%lu %u\n", static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned long>(startup.dwFlags), static_cast<unsigned>(startup.wShowWindow));
    const std::string text = head + qv::win::Narrow(commandLine);

    const std::wstring target = OwnPath() + L".started";
    const std::wstring partial = target + L".part";
    {
        const qv::win::UniqueHandle file(
            CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
            return;
        }
    }
    MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int main() {
    const std::wstring commandLine = GetCommandLineW();
    Report(commandLine);
    Sleep(SecondsToSleep(commandLine) * 1000);
    return 0;
}
