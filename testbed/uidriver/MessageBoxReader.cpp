#include "MessageBoxReader.h"

#include <optional>

#include "IconRecognizer.h"
#include "WindowFacts.h"

namespace testbed {
namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr DWORD kCloseWaitMs = 1000;
constexpr DWORD kCloseCheckMs = 20;

bool WaitUntilClosed(HWND box) {
    for (DWORD waited = 0;; waited += kCloseCheckMs) {
        if (!IsWindow(box) || !IsWindowVisible(box)) {
            return true;
        }
        if (waited >= kCloseWaitMs) {
            return false;
        }
        Sleep(kCloseCheckMs);
    }
}

bool IsDefaultPushButton(HWND button) { return (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

// The dialog manager keeps BS_DEFPUSHBUTTON on the default button. That comes
// first because Wine answers DM_GETDEFID with IDOK for every message box,
// Yes/No boxes and MB_DEFBUTTON2 included.
int DefaultButton(HWND box, const std::vector<HWND>& buttons) {
    for (HWND button : buttons) {
        if (IsDefaultPushButton(button)) {
            return GetDlgCtrlID(button);
        }
    }
    const LRESULT answer = SendWithTimeout(box, DM_GETDEFID, 0, 0).value_or(0);
    return HIWORD(answer) == DC_HASDEFID ? LOWORD(answer) : IDOK;
}

}  // namespace

bool IsMessageBox(HWND window) {
    if (!IsWindowVisible(window) || ClassNameOf(window) != "#32770") {
        return false;
    }
    for (HWND child : ChildWindows(window)) {
        const std::string kind = ClassNameOf(child);
        if (kind != "Static" && kind != "Button") {
            return false;
        }
    }
    return true;
}

MessageBoxFacts ReadMessageBox(HWND box) {
    MessageBoxFacts facts;
    facts.title = TextOf(box);
    facts.text = TextOf(GetDlgItem(box, kMessageTextId));
    facts.icon = RecognizeIcon(box);
    std::vector<HWND> buttons;
    for (HWND child : ChildWindows(box)) {
        if (ClassNameOf(child) == "Button" && IsWindowVisible(child)) {
            buttons.push_back(child);
            facts.buttons.push_back({GetDlgCtrlID(child), TextOf(child)});
        }
    }
    facts.defaultButton = DefaultButton(box, buttons);
    facts.topmost = IsTopmost(box);
    facts.process = ProcessOf(box);
    return facts;
}

bool PressButton(HWND box, int button) {
    const HWND control = GetDlgItem(box, button);
    if (control) {
        // Posted: under Wine a sent BM_CLICK closes the box but its reply never
        // arrives, so the send would always run into its timeout.
        PostMessageW(control, BM_CLICK, 0, 0);
        if (WaitUntilClosed(box)) {
            return true;
        }
    }
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    return WaitUntilClosed(box);
}

}  // namespace testbed
