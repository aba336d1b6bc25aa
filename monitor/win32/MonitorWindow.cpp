#include "MonitorWindow.h"

#include "common/win32/WindowClass.h"
#include "common/win32/com/ComError.h"

namespace monitor::win {

namespace {
constexpr wchar_t kClassName[] = L"qvlCheckCommunicate.frmMain";
constexpr UINT_PTR kTimerId = 1;
}  // namespace

MonitorWindow::MonitorWindow(std::function<void()> onTick) : onTick_(std::move(onTick)) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!qv::win::RegisterWindowClass(qv::win::WindowClass(kClassName, &MonitorWindow::Procedure, instance))) {
        throw qv::win::com::ComFailure(HRESULT_FROM_WIN32(GetLastError()), "RegisterClassEx");
    }
    window_ = CreateWindowExW(0, kClassName, L"frmMain", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance, this);
    if (!window_) {
        throw qv::win::com::ComFailure(HRESULT_FROM_WIN32(GetLastError()), "CreateWindowEx");
    }
}

MonitorWindow::~MonitorWindow() {
    KillTimer(window_, kTimerId);
    DestroyWindow(window_);
}

void MonitorWindow::SetEnabled(bool enabled) {
    if (enabled) {
        SetTimer(window_, kTimerId, kIntervalMs, nullptr);
    } else {
        KillTimer(window_, kTimerId);
    }
}

void MonitorWindow::ProcessPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // the main loop still has to see it
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK MonitorWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_TIMER && wParam == kTimerId) {
        if (auto* self = reinterpret_cast<MonitorWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
            self->onTick_();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace monitor::win
