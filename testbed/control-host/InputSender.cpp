#include "InputSender.h"

#include <vector>

namespace control_host {
namespace {

INPUT KeyInput(WORD virtualKey, WORD scan, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    return input;
}

INPUT MouseInput(LONG x, LONG y, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = x;
    input.mi.dy = y;
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return input;
}

UINT Send(std::vector<INPUT>& inputs) {
    return inputs.empty() ? 0 : SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool IsExtendedKey(WORD virtualKey) {
    switch (virtualKey) {
        case VK_DELETE:
        case VK_INSERT:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            return true;
        default:
            return false;
    }
}

}  // namespace

UINT SendText(std::wstring_view text) {
    std::vector<INPUT> inputs;
    for (const wchar_t unit : text) {
        inputs.push_back(KeyInput(0, unit, KEYEVENTF_UNICODE));
        inputs.push_back(KeyInput(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    return Send(inputs);
}

UINT SendKey(WORD virtualKey, KeyModifier modifier) {
    const WORD held = modifier == KeyModifier::Shift ? VK_SHIFT : modifier == KeyModifier::Control ? VK_CONTROL : 0;
    const DWORD extended = IsExtendedKey(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0;
    const WORD scan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    std::vector<INPUT> inputs;
    if (held) {
        inputs.push_back(KeyInput(held, static_cast<WORD>(MapVirtualKeyW(held, MAPVK_VK_TO_VSC)), 0));
    }
    inputs.push_back(KeyInput(virtualKey, scan, extended));
    inputs.push_back(KeyInput(virtualKey, scan, extended | KEYEVENTF_KEYUP));
    if (held) {
        inputs.push_back(KeyInput(held, static_cast<WORD>(MapVirtualKeyW(held, MAPVK_VK_TO_VSC)), KEYEVENTF_KEYUP));
    }
    return Send(inputs);
}

UINT SendClick(POINT screen) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    // Absolute coordinates run from 0 to 65535 over the primary screen.
    const LONG x = MulDiv(screen.x, 65535, width > 1 ? width - 1 : 1);
    const LONG y = MulDiv(screen.y, 65535, height > 1 ? height - 1 : 1);
    std::vector<INPUT> inputs{MouseInput(x, y, MOUSEEVENTF_MOVE), MouseInput(x, y, MOUSEEVENTF_LEFTDOWN),
                              MouseInput(x, y, MOUSEEVENTF_LEFTUP)};
    return Send(inputs);
}

void PumpUntilQuiet(const std::function<bool(MSG&)>& preTranslate, DWORD quietMs, DWORD limitMs) {
    const ULONGLONG start = GetTickCount64();
    ULONGLONG quietSince = start;
    for (;;) {
        bool handled = false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            handled = true;
            if (!preTranslate || !preTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        const ULONGLONG now = GetTickCount64();
        if (handled || HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0) {
            quietSince = now;
        }
        if (now - quietSince >= quietMs || now - start >= limitMs) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace control_host
