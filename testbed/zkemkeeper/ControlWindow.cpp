#include "ControlWindow.h"

#include <stdexcept>

#include "common/win32/WindowClass.h"
#include "common/win32/com/TypeLibrary.h"

namespace zkem {
namespace {

constexpr wchar_t kClassName[] = L"QvSimulatedTerminalControl";

}  // namespace

ControlWindow::ControlWindow(Handler handler) : handler_(std::move(handler)) {
    const HINSTANCE module = qv::win::com::CurrentModule();
    if (!qv::win::RegisterWindowClass(qv::win::WindowClass(kClassName, &ControlWindow::Procedure, module))) {
        throw std::runtime_error("cannot register the control's window class");
    }
    window_ = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, this);
    if (!window_) throw std::runtime_error("cannot create the control's window");
}

ControlWindow::~ControlWindow() {
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
}

void ControlWindow::UnregisterClass() { ::UnregisterClassW(kClassName, qv::win::com::CurrentModule()); }

LRESULT CALLBACK ControlWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message >= WM_APP && message <= 0xBFFF) {
        if (auto* self = reinterpret_cast<ControlWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA))) {
            self->handler_(message);
            return 0;
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace zkem
