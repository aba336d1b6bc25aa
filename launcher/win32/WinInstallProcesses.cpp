#include "WinInstallProcesses.h"

#include <utility>

#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"

namespace launcher::win {
namespace {

using qv::win::UniqueHandle;

// The new process's id, or 0 with the reason when it could not be started;
// `kept` receives the process's handle when asked for.
DWORD Start(const std::string& commandLine, WORD show, std::string& error, UniqueHandle* kept = nullptr) {
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
    UniqueHandle owned(process.hProcess);
    if (kept) *kept = std::move(owned);
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
    UniqueHandle process;
    if (Start(commandLine, SW_SHOWMINIMIZED, ignored, &process) != 0) {
        m_started.push_back({std::move(process), commandLine});
    }
}

void WinInstallProcesses::LogStartedProcesses(IRunLog* log) const {
    for (const auto& started : m_started) {
        DWORD code = 0;
        if (WaitForSingleObject(started.process.Get(), 0) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(started.process.Get(), &code)) {
            LogEvent(log, started.commandLine + " ended, exit code " + std::to_string(code));
        } else {
            LogEvent(log, started.commandLine + " still running (not waited for)");
        }
    }
}

}  // namespace launcher::win
