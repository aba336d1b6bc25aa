#pragma once
// The stand-in's one window, titled "Quorvel", with a line of text. Closing it
// (WM_CLOSE) destroys it and ends the message loop with WM_QUIT.
#include <string>

#include "WindowsApi.h"

namespace testbed {

class StandInWindow {
public:
    StandInWindow() = default;
    ~StandInWindow() { Destroy(); }
    StandInWindow(const StandInWindow&) = delete;
    StandInWindow& operator=(const StandInWindow&) = delete;

    // Creates the window showing `text` and shows it with `showCommand` (SW_...).
    bool Create(HINSTANCE instance, const std::wstring& text, int showCommand);
    // Destroys the window, which also ends the message loop.
    void Destroy();
    HWND Handle() const noexcept { return m_window; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Layout();

    HWND m_window = nullptr;
    HWND m_label = nullptr;
};

}  // namespace testbed
