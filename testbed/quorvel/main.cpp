// quorvel.exe, the main client's stand-in: logs how it was started (its pid,
// command line, the show command asked for and the pid of the process that
// started it), shows its window, and ends when the window is closed, when
// quorvel.exit appears in its folder, or when its lifetime
// (QV_STANDIN_LIFETIME seconds) runs out; then it logs why. A forced stop ("taskkill /f") leaves no "exited" line.
//
// Its window is a small form: when the control library is registered it hosts
// a numeric box, a name box and a date box, loaded from quorvel.form beside it
// and saved there whenever it ends by itself. With QV_TERMINALS set
// ("<addresses>;<ports>", TerminalSetting.h) it also runs the connectivity
// monitor and lists its events. What became of both goes to quorvel.form.log:
//   controls <pid> hosted 3 | unavailable 0x80040154
//   monitor  <pid> started | unavailable 0x........ <description>
//   event    <pid> 12:00:05 断开 127.0.0.1
//   saved    <pid> 0x00000000
#include <cstdio>
#include <optional>
#include <string>

#include "CommandLineArguments.h"
#include "FormControls.h"
#include "Lifetime.h"
#include "StandInFiles.h"
#include "StandInWindow.h"
#include "TerminalMonitor.h"
#include "TerminalSetting.h"
#include "common/win32/Environment.h"
#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"
#include "common/win32/WindowsApi.h"
#include <ole2.h>
#include <tlhelp32.h>

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

// The pid of the process that started this one; 0 when it cannot be told.
DWORD ParentProcessId() {
    const qv::win::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return 0;
    }
    const DWORD self = GetCurrentProcessId();
    DWORD parent = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == self) {
            parent = entry.th32ParentProcessID;
            break;
        }
    }
    return parent;
}

// The variable's text; unset and empty both read as no value.
std::optional<std::string> EnvironmentValue(const wchar_t* name) {
    const std::optional<std::wstring> value = qv::win::EnvironmentText(name);
    return value ? std::optional<std::string>(Narrow(*value)) : std::nullopt;
}

std::string HexOf(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::string ClockTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
    return text;
}

const char* ExitReason(const std::wstring& folder, ULONGLONG deadline) {
    if (testbed::ExitFileExists(folder)) {
        return "exit-file";
    }
    return GetTickCount64() >= deadline ? "lifetime" : nullptr;
}

struct Form {
    testbed::StandInWindow& window;
    testbed::FormControls& controls;
    testbed::TerminalMonitor& monitor;
    std::optional<int> monitorPollMs;
};

// Runs the message loop; returns why the stand-in ends.
std::string RunUntilExit(Form& form, const std::wstring& folder, ULONGLONG deadline) {
    const UINT_PTR timer = SetTimer(nullptr, 0, kPollMilliseconds, nullptr);
    const UINT_PTR monitorTimer =
        form.monitor.Running() && form.monitorPollMs ? SetTimer(nullptr, 0, *form.monitorPollMs, nullptr) : 0;
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == WM_TIMER && message.wParam == timer) {
            if (const char* reason = ExitReason(folder, deadline)) {
                KillTimer(nullptr, timer);
                form.window.Destroy();
                return reason;
            }
            continue;
        }
        if (message.hwnd == nullptr && message.message == WM_TIMER && monitorTimer && message.wParam == monitorTimer) {
            form.monitor.Poll();
            continue;
        }
        if (form.controls.PreTranslate(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return "closed";
}

void HostControls(const std::wstring& folder, const std::string& pid, testbed::StandInWindow& window,
                  testbed::FormControls& controls) {
    const HRESULT hr = controls.Create(testbed::FormFilePath(folder));
    if (SUCCEEDED(hr)) {
        testbed::AppendFormLog(folder, "controls\t" + pid + "\thosted " + std::to_string(controls.Count()));
        return;
    }
    testbed::AppendFormLog(folder, "controls\t" + pid + "\tunavailable " + HexOf(hr));
    window.SetNotice(Widen("控件库 Lumen_Control 不可用（" + HexOf(hr) + "），窗体上没有输入控件"));
}

void StartMonitor(const std::wstring& folder, const std::string& pid, const testbed::TerminalSetting& terminals,
                  testbed::StandInWindow& window, testbed::TerminalMonitor& monitor) {
    const auto onEvent = [&folder, pid, addresses = terminals.addresses, &window](bool restored, long position) {
        const std::string line =
            testbed::MonitorEventLine(ClockTime(), restored, testbed::TerminalAddress(addresses, position));
        window.AddEvent(Widen(line));
        testbed::AppendFormLog(folder, "event\t" + pid + "\t" + line);
    };
    std::string error;
    const HRESULT hr = monitor.Start(terminals, onEvent, error);
    if (SUCCEEDED(hr)) {
        testbed::AppendFormLog(folder, "monitor\t" + pid + "\tstarted");
        return;
    }
    testbed::AppendFormLog(folder, "monitor\t" + pid + "\tunavailable " + HexOf(hr) + " " + error);
    window.AddEvent(Widen(ClockTime() + " 无法启动连接监视（" + HexOf(hr) + "）" + error));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const std::wstring folder = testbed::ProgramFolder();
    const std::string pid = std::to_string(GetCurrentProcessId());
    const std::string commandLine = Narrow(GetCommandLineW());
    testbed::AppendStandInLog(folder, "started\t" + pid + "\t" + commandLine + "\t" +
                                          std::to_string(RequestedShowCommand()) + "\t" +
                                          std::to_string(ParentProcessId()));

    const std::optional<std::string> lifetime = EnvironmentValue(L"QV_STANDIN_LIFETIME");
    const ULONGLONG deadline = GetTickCount64() + 1000ULL * testbed::LifetimeSeconds(lifetime);
    const std::optional<std::string> terminalText = EnvironmentValue(L"QV_TERMINALS");
    const std::optional<testbed::TerminalSetting> terminals = testbed::ParseTerminalSetting(terminalText);
    const std::optional<std::string> pollText = EnvironmentValue(L"QV_MONITOR_POLL_MS");

    std::string text = kWindowText;
    if (const std::string_view arguments = testbed::ArgumentsOf(commandLine); !arguments.empty()) {
        text += " ";
        text += arguments;
    }
    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    std::string reason = "window-failed";
    {
        testbed::StandInWindow window;
        if (window.Create(instance, Widen(text), showCommand, terminals.has_value())) {
            testbed::FormControls controls(window.Handle());
            testbed::TerminalMonitor monitor;
            HostControls(folder, pid, window, controls);
            window.KeepTextFirst();
            if (terminals) {
                StartMonitor(folder, pid, *terminals, window, monitor);
            }
            // A forced stop never gets here: the form is saved only when it ends by itself.
            window.OnDestroy([&] {
                monitor.Stop();
                if (controls.Count() > 0) {
                    testbed::AppendFormLog(
                        folder, "saved\t" + pid + "\t" + HexOf(controls.Save(testbed::FormFilePath(folder))));
                }
                controls.Destroy();
            });
            Form form{window, controls, monitor, testbed::PollMilliseconds(pollText)};
            reason = RunUntilExit(form, folder, deadline);
        }
    }
    if (ole) {
        OleUninitialize();
    }
    testbed::AppendStandInLog(folder, "exited\t" + pid + "\t" + reason);
    return reason == "window-failed" ? 1 : 0;
}
