#include "WinProcesses.h"

#include <exception>

#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"
#include "WmiProcessList.h"

namespace launcher::win {
namespace {

using qv::win::UniqueHandle;
using qv::win::Widen;

std::wstring Upper(std::string_view utf8) {
    std::wstring text = Widen(utf8);
    if (!text.empty()) {
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    }
    return text;
}

// Starts the command line in a window of the given state; nobody waits for it.
bool Launch(const wchar_t* application, std::wstring commandLine, WORD show, DWORD& failure) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        failure = GetLastError();
        return false;
    }
    const UniqueHandle thread(process.hThread);
    const UniqueHandle owned(process.hProcess);
    return true;
}

// The system's own copy of a tool, so that a file of the same name in the
// launcher's or the current folder is never run in its place.
std::wstring SystemTool(const wchar_t* file) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(folder, length) + L"\\" + file;
}

}  // namespace

bool WinProcesses::IsProcessRunning(const std::string& strName) {
    try {
        const std::wstring name = Upper(strName);
        return AnyProcessDescription(
            [&name](const std::string& description) { return name.find(Upper(description)) != std::wstring::npos; });
    } catch (const std::exception&) {
        return false;
    }
}

void WinProcesses::KillProcessByName(const std::string& strName) {
    try {
        const std::wstring tool = SystemTool(L"taskkill.exe");
        DWORD ignored = 0;
        Launch(tool.empty() ? nullptr : tool.c_str(), L"taskkill /f /im " + Widen(strName), SW_HIDE, ignored);
    } catch (const std::exception&) {
        // Nothing is reported: a stop that did not happen shows up later, if at all.
    }
}

bool WinProcesses::StartProcess(const std::string& commandLine, std::string& error) {
    DWORD failure = 0;
    if (Launch(nullptr, Widen(commandLine), SW_SHOWNORMAL, failure)) {
        return true;
    }
    error = qv::win::LastErrorText(failure);
    return false;
}

}  // namespace launcher::win
