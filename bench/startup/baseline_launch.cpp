// baseline_launch [--window] URL COMMANDLINE: the least a launcher must do —
// ask the service once through MSXML and start the main client. With
// --window it first creates and shows one plain window, as a launcher that
// shows a wait window must (a process's first window has a cost of its own).
#include "common/win32/WindowsApi.h"

#include <objbase.h>

#include <string_view>

#include "common/win32/TextConvert.h"
#include "launcher/win32/MsxmlHttpClient.h"
#include "launcher/win32/WinProcesses.h"

namespace {

HWND ShowPlainWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"QuorvelBaselineWindow";
    RegisterClassW(&windowClass);
    const HWND window =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"", WS_POPUP | WS_BORDER, 100,
                        100, 350, 97, nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    return window;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool withWindow = argc == 4 && std::wstring_view(argv[1]) == L"--window";
    if (argc != 3 && !withWindow) return 2;
    const wchar_t* url = argv[argc - 2];
    const wchar_t* commandLine = argv[argc - 1];
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
    int status = 0;
    {
        const HWND window = withWindow ? ShowPlainWindow() : nullptr;
        launcher::win::MsxmlHttpClient http;
        std::unique_ptr<launcher::IXmlDocument> document;
        if (!http.HttpGetXml(qv::win::Narrow(url), document)) status = 4;
        launcher::win::WinProcesses processes;
        std::string error;
        if (status == 0 && !processes.StartProcess(qv::win::Narrow(commandLine), error)) status = 5;
        if (window) DestroyWindow(window);
    }
    CoUninitialize();
    return status;
}
