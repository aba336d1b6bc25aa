#pragma once
// The test container's top-level window ("QvControlHost", visible, 480 x 300
// at 40,40) with a plain edit box ("QvHostOther") below the controls, where
// the focus goes when it leaves them. A posted WM_APP runs the wake handler.
#include <functional>

#include "common/win32/WindowsApi.h"

namespace control_host {

class HostWindow {
public:
    HostWindow() = default;
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    bool Create(std::function<void()> onWake);
    HWND Handle() const noexcept { return window_; }
    HWND Other() const noexcept { return other_; }
    // Safe from any thread.
    void Wake() const { PostMessageW(window_, WM_APP, 0, 0); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HWND other_ = nullptr;
    std::function<void()> onWake_;
};

}  // namespace control_host
