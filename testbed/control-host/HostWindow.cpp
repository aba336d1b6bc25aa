#include "HostWindow.h"

#include "common/win32/WindowClass.h"
#include "common/win32/WindowObject.h"

namespace control_host {
namespace {

constexpr wchar_t kHostClass[] = L"QvControlHost";
constexpr wchar_t kOtherClass[] = L"QvHostOther";

// The other box is a plain edit box under a class name of its own, so that
// tests can find it.
bool RegisterOtherClass(HINSTANCE instance) {
    WNDCLASSEXW edit{};
    edit.cbSize = sizeof edit;
    if (!GetClassInfoExW(nullptr, L"Edit", &edit)) {
        return false;
    }
    edit.hInstance = instance;
    edit.lpszClassName = kOtherClass;
    return qv::win::RegisterWindowClass(edit);
}

}  // namespace

HostWindow::~HostWindow() {
    if (window_) {
        DestroyWindow(window_);
    }
}

bool HostWindow::Create(std::function<void()> onWake) {
    onWake_ = std::move(onWake);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW host = qv::win::WindowClass(kHostClass, &HostWindow::Procedure, instance);
    host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (!qv::win::RegisterWindowClass(host) || !RegisterOtherClass(instance)) {
        return false;
    }
    CreateWindowExW(0, kHostClass, L"control-host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40, 480,
                    300, nullptr, nullptr, instance, this);
    if (!window_) {
        return false;
    }
    other_ = CreateWindowExW(WS_EX_CLIENTEDGE, kOtherClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                             10, 236, 200, 24, window_, nullptr, instance, nullptr);
    UpdateWindow(window_);
    return other_ != nullptr;
}

LRESULT CALLBACK HostWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return qv::win::RouteToWindowObject(window, message, wParam, lParam, &HostWindow::window_, &HostWindow::OnMessage);
}

LRESULT HostWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_APP:
            if (onWake_) {
                onWake_();
            }
            return 0;
        case WM_CLOSE:
            return 0;  // the test ends the container with "quit"
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace control_host
