#include "StandInWindow.h"

namespace testbed {
namespace {

constexpr wchar_t kClassName[] = L"QuorvelStandInWindow";
constexpr wchar_t kTitle[] = L"Quorvel";
constexpr int kWidth = 480;
constexpr int kHeight = 140;
constexpr int kMargin = 16;

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool StandInWindow::Create(HINSTANCE instance, const std::wstring& text, int showCommand) {
    if (m_window || !RegisterWindowClass(instance, &StandInWindow::Procedure)) {
        return false;
    }
    m_window = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, kWidth,
                               kHeight, nullptr, nullptr, instance, this);
    if (!m_window) {
        return false;
    }
    m_label = CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                              m_window, nullptr, instance, nullptr);
    SendMessageW(m_label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
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

void StandInWindow::Layout() {
    RECT client{};
    GetClientRect(m_window, &client);
    MoveWindow(m_label, kMargin, kMargin, client.right - 2 * kMargin, client.bottom - 2 * kMargin, TRUE);
}

LRESULT CALLBACK StandInWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<StandInWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_SIZE:
        if (self && self->m_label) {
            self->Layout();
        }
        return 0;
    case WM_DESTROY:
        if (self) {
            self->m_window = nullptr;
            self->m_label = nullptr;
        }
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace testbed
