#pragma once
// The stand-in's one window, titled "Quorvel": a line of text first (its
// first child window), room for the form's controls below it, a notice line,
// and, when terminals are watched, the list of their connection events.
// Closing it (WM_CLOSE) destroys it and ends the message loop with WM_QUIT;
// the handler given to Create runs first, while every child still exists.
#include <functional>
#include <string>

#include "common/win32/WindowsApi.h"

namespace testbed {

class StandInWindow {
public:
    StandInWindow() = default;
    ~StandInWindow() { Destroy(); }
    StandInWindow(const StandInWindow&) = delete;
    StandInWindow& operator=(const StandInWindow&) = delete;

    // Creates the window showing `text` and shows it with `showCommand` (SW_...).
    bool Create(HINSTANCE instance, const std::wstring& text, int showCommand, bool withEventList);
    // Runs once, when the window is being destroyed.
    void OnDestroy(std::function<void()> handler) { m_onDestroy = std::move(handler); }
    // Destroys the window, which also ends the message loop.
    void Destroy();
    HWND Handle() const noexcept { return m_window; }

    // Puts the line of text back in front of the form's other children: hosted
    // controls place their windows at the top.
    void KeepTextFirst();
    void SetNotice(const std::wstring& text);
    void AddEvent(const std::wstring& line);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Layout();

    HWND m_window = nullptr;
    HWND m_label = nullptr;
    HWND m_notice = nullptr;
    HWND m_eventTitle = nullptr;
    HWND m_events = nullptr;
    std::function<void()> m_onDestroy;
};

}  // namespace testbed
