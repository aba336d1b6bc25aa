// quorvel.exe, the main client's stand-in: logs how it was started, shows its
// window, and ends when the window is closed, when quorvel.exit appears in its
// folder, or when its lifetime (QV_STANDIN_LIFETIME seconds) runs out; then it
// logs why. A forced stop ("taskkill /f") leaves no "exited" line.
#include <optional>
#include <string>

#include "CommandLineArguments.h"
#include "Lifetime.h"
#include "StandInFiles.h"
#include "StandInWindow.h"
#include "TextConvert.h"
#include "WindowsApi.h"

namespace {

using qv::win::Narrow;
using qv::win::Widen;

constexpr UINT kPollMilliseconds = 100;
constexpr char kWindowText[] = "Quorvel 主程序（测试替身）";

// SW_ value the starter asked for, or -1 when it did not ask.
int RequestedShowCommand() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
}

// The variable's text; unset and empty both read as no value.
std::optional<std::string> EnvironmentValue(const wchar_t* name) {
    std::wstring value(64, L'\0');
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) {
            return std::nullopt;
        }
        if (length < value.size()) {
            value.resize(length);
            return Narrow(value);
        }
        value.resize(length);
    }
}

const char* ExitReason(const std::wstring& folder, ULONGLONG deadline) {
    if (testbed::ExitFileExists(folder)) {
        return "exit-file";
    }
    return GetTickCount64() >= deadline ? "lifetime" : nullptr;
}

// Runs the message loop; returns why the stand-in ends.
std::string RunUntilExit(testbed::StandInWindow& window, const std::wstring& folder, ULONGLONG deadline) {
    const UINT_PTR timer = SetTimer(nullptr, 0, kPollMilliseconds, nullptr);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == WM_TIMER && message.wParam == timer) {
            if (const char* reason = ExitReason(folder, deadline)) {
                KillTimer(nullptr, timer);
                window.Destroy();
                return reason;
            }
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return "closed";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const std::wstring folder = testbed::ProgramFolder();
    const std::string pid = std::to_string(GetCurrentProcessId());
    const std::string commandLine = Narrow(GetCommandLineW());
    testbed::AppendStandInLog(folder, "started\t" + pid + "\t" + commandLine + "\t" +
                                          std::to_string(RequestedShowCommand()));

    const std::optional<std::string> lifetime = EnvironmentValue(L"QV_STANDIN_LIFETIME");
    const ULONGLONG deadline = GetTickCount64() + 1000ULL * testbed::LifetimeSeconds(lifetime);

    std::string text = kWindowText;
    if (const std::string_view arguments = testbed::ArgumentsOf(commandLine); !arguments.empty()) {
        text += " ";
        text += arguments;
    }
    testbed::StandInWindow window;
    if (!window.Create(instance, Widen(text), showCommand)) {
        testbed::AppendStandInLog(folder, "exited\t" + pid + "\twindow-failed");
        return 1;
    }
    const std::string reason = RunUntilExit(window, folder, deadline);
    testbed::AppendStandInLog(folder, "exited\t" + pid + "\t" + reason);
    return 0;
}
