#pragma once
// A hidden message-only window on the thread that makes it: socket messages
// posted to it are handled on that thread, which is where the control's
// events must be fired.
#include <functional>

#include "common/win32/WindowsApi.h"

namespace zkem {

class ControlWindow {
public:
    using Handler = std::function<void(UINT message)>;

    explicit ControlWindow(Handler handler);  // throws std::runtime_error when no window can be made
    ~ControlWindow();
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    HWND Handle() const { return window_; }

    // Before the module unloads, once no window is left: a class registered
    // by a DLL outlives it otherwise.
    static void UnregisterClass();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Handler handler_;
    HWND window_ = nullptr;
};

}  // namespace zkem
