#include "WinInstallProcesses.h"

#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"

namespace launcher::win {

bool WinInstallProcesses::RunAndWait(const std::string& commandLine, HelperWindow window, std::uint32_t timeoutMs,
                                     std::uint32_t& exitCode, std::string& error) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = window == HelperWindow::MinimisedNoFocus ? SW_SHOWMINNOACTIVE : SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    std::wstring text = qv::win::Widen(commandLine);
    if (!CreateProcessW(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        error = qv::win::LastErrorText(GetLastError());
        return false;
    }
    const qv::win::UniqueHandle thread(process.hThread);
    const qv::win::UniqueHandle owned(process.hProcess);
    const DWORD waited = WaitForSingleObject(owned.Get(), timeoutMs);
    DWORD code = 0;
    if (waited != WAIT_OBJECT_0 || !GetExitCodeProcess(owned.Get(), &code)) {
        error = commandLine + " 没有在 " + std::to_string(timeoutMs / 1000) + " 秒内结束。";
        return false;
    }
    exitCode = code;
    return true;
}

}  // namespace launcher::win
