#include "StandInWindow.h"

#include <utility>

#include "FormControls.h"
#include "common/win32/WindowClass.h"
#include "common/win32/WindowObject.h"

namespace testbed {
namespace {

constexpr wchar_t kClassName[] = L"QuorvelStandInWindow";
constexpr wchar_t kTitle[] = L"Quorvel";
constexpr int kWidth = 480;
constexpr int kHeight = 240;
constexpr int kHeightWithEvents = 400;
constexpr int kMargin = 16;
constexpr int kLineHeight = 20;
constexpr int kEventsTop = kControlsBottom + 2 * kLineHeight;

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass = qv::win::WindowClass(kClassName, procedure, instance);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    return qv::win::RegisterWindowClass(windowClass);
}

HWND CreateChild(HWND parent, HINSTANCE instance, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                 DWORD extendedStyle = 0) {
    HWND child = CreateWindowExW(extendedStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                 nullptr, instance, nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}

}  // namespace

bool StandInWindow::Create(HINSTANCE instance, const std::wstring& text, int showCommand, bool withEventList) {
    if (m_window || !RegisterWindowClass(instance, &StandInWindow::Procedure)) {
        return false;
    }
    CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, kWidth,
                    withEventList ? kHeightWithEvents : kHeight, nullptr, nullptr, instance, this);
    if (!m_window) {
        return false;
    }
    // First child: tests read the text of the window's first child.
    m_label = CreateChild(m_window, instance, L"STATIC", text.c_str(), SS_LEFT | SS_NOPREFIX);
    m_notice = CreateChild(m_window, instance, L"STATIC", L"", SS_LEFT | SS_NOPREFIX);
    if (withEventList) {
        m_eventTitle = CreateChild(m_window, instance, L"STATIC", L"考勤机连接事件", SS_LEFT | SS_NOPREFIX);
        m_events = CreateChild(m_window, instance, L"LISTBOX", L"", WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL,
                               WS_EX_CLIENTEDGE);
    }
    Layout();
    ShowWindow(m_window, showCommand);
    UpdateWindow(m_window);
    return true;
}

void StandInWindow::Destroy() {
    if (m_window) {
        DestroyWindow(m_window);
    }
}

void StandInWindow::KeepTextFirst() {
    if (m_label) {
        SetWindowPos(m_label, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void StandInWindow::SetNotice(const std::wstring& text) {
    if (m_notice) {
        SetWindowTextW(m_notice, text.c_str());
    }
}

void StandInWindow::AddEvent(const std::wstring& line) {
    if (m_events) {
        const LRESULT index = SendMessageW(m_events, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        SendMessageW(m_events, LB_SETTOPINDEX, static_cast<WPARAM>(index < 0 ? 0 : index), 0);
    }
}

void StandInWindow::Layout() {
    RECT client{};
    GetClientRect(m_window, &client);
    const int width = client.right - 2 * kMargin;
    MoveWindow(m_label, kMargin, 12, width, kLineHeight, TRUE);
    MoveWindow(m_notice, kMargin, kControlsBottom, width, kLineHeight, TRUE);
    if (m_events) {
        MoveWindow(m_eventTitle, kMargin, kEventsTop, width, kLineHeight, TRUE);
        const int listTop = kEventsTop + kLineHeight + 4;
        MoveWindow(m_events, kMargin, listTop, width, client.bottom - kMargin - listTop, TRUE);
    }
}

LRESULT CALLBACK StandInWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return qv::win::RouteToWindowObject(window, message, wParam, lParam, &StandInWindow::m_window,
                                        &StandInWindow::OnMessage);
}

LRESULT StandInWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (m_label) {
                Layout();
            }
            return 0;
        case WM_DESTROY:
            if (auto handler = std::exchange(m_onDestroy, nullptr)) {
                handler();
            }
            m_label = m_notice = m_eventTitle = m_events = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(m_window, message, wParam, lParam);
    }
}

}  // namespace testbed
