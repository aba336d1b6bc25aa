#include "WinInstallProcesses.h"

#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"

namespace launcher::win {
namespace {

using qv::win::UniqueHandle;

// The new process's id, or 0 with the reason when it could not be started.
DWORD Start(const std::string& commandLine, WORD show, std::string& error) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION process{};
    std::wstring text = qv::win::Widen(commandLine);
    if (!CreateProcessW(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        error = qv::win::LastErrorText(GetLastError());
        return 0;
    }
    const UniqueHandle thread(process.hThread);
    const UniqueHandle owned(process.hProcess);
    return process.dwProcessId;
}

}  // namespace

bool WinInstallProcesses::RunMinimisedAndWait(const std::string& commandLine, std::string& error) {
    std::optional<std::uint32_t> ignored;
    return RunMinimisedAndWaitForExit(commandLine, error, ignored);
}

bool WinInstallProcesses::RunMinimisedAndWaitForExit(const std::string& commandLine, std::string& error,
                                                     std::optional<std::uint32_t>& exitCode) {
    exitCode.reset();
    const DWORD id = Start(commandLine, SW_SHOWMINNOACTIVE, error);
    if (id == 0) return false;
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process) process.Reset(OpenProcess(SYNCHRONIZE, FALSE, id));
    if (!process) return true;
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.Get(), &code)) exitCode = code;
    return true;
}

void WinInstallProcesses::StartMinimised(const std::string& commandLine) {
    std::string ignored;
    Start(commandLine, SW_SHOWMINIMIZED, ignored);
}

}  // namespace launcher::win
