// The validated text box's windows: the surface that holds txtInput, and
// txtInput's keys, mouse and focus, each raised to the host first and then
// passed through the rules.
#include "TextColor.h"

#include "AnsiKeys.h"
#include "ControlEvents.h"
#include "common/win32/com/DispatchCall.h"
#include "common/win32/com/TypeLibrary.h"
#include "common/win32/WindowObject.h"

namespace controls::win {
namespace {

constexpr wchar_t kSurfaceClass[] = L"LumenTextColor";
constexpr DISPID kClick = kEventClick, kDblClick = kEventDblClick, kKeyDown = kEventKeyDown, kKeyPress = kEventKeyPress,
                 kKeyUp = kEventKeyUp, kChange = kEventChange;

}  // namespace

HWND TextColor::CreateSurface(HWND parent) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const SIZE size = ExtentPixels();
    HWND window = CreateControlSurface(kSurfaceClass, &TextColor::SurfaceProc, parent, size, this);
    if (!window) return nullptr;
    const qv::win::ComPtr<IFont> font = AmbientFontCopy();
    if (!box_.Create(window, &TextColor::InputProc, reinterpret_cast<DWORD_PTR>(this), font.Get())) {
        DestroyWindow(window);
        return nullptr;
    }
    fontIsAmbient_ = true;
    // The box as it stands on a new form.
    box_.SetText(L"Text1");
    return window;
}

LRESULT CALLBACK TextColor::SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return qv::win::RouteToWindowObject(window, message, wParam, lParam, &TextColor::window_,
                                        &TextColor::OnSurfaceMessage);
}

LRESULT TextColor::OnSurfaceMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            // The inner box always covers the whole control.
            if (box_.Window()) MoveWindow(box_.Window(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == box_.Window()) {
                return reinterpret_cast<LRESULT>(box_.PaintColours(reinterpret_cast<HDC>(wParam)));
            }
            break;
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lParam) == box_.Window()) {
                kept_.BoxNotified(HIWORD(wParam));
                if (HIWORD(wParam) == EN_CHANGE) Fire(kChange, {});
            }
            return 0;
        case WM_SETFOCUS:
            if (box_.Window()) SetFocus(box_.Window());
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK TextColor::InputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR owner) {
    auto* self = reinterpret_cast<TextColor*>(owner);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &TextColor::InputProc, 1);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return self->OnInputMessage(message, wParam, lParam);
}

LRESULT TextColor::OnInputMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
            return OnKeyDown(message, wParam, lParam);
        case WM_CHAR:
            return OnChar(message, wParam, lParam);
        case WM_KEYUP: {
            short keyCode = static_cast<short>(wParam);
            short shift = ShiftState();
            Fire(kKeyUp, {qv::win::com::ByRef(&keyCode), qv::win::com::ByRef(&shift)});
            break;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            const LRESULT handled = PassToBox(message, wParam, lParam);
            OnFocusChange(message == WM_SETFOCUS);
            return handled;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_MOUSEMOVE:
            FireMouse(MouseEventOf(message), MouseButtons(wParam, message), lParam);
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            const LRESULT handled = PassToBox(message, wParam, lParam);
            FireMouse(kEventMouseUp, MouseButtons(wParam, message), lParam);
            if (message == WM_LBUTTONUP) Fire(kClick, {});
            return handled;
        }
        case WM_LBUTTONDBLCLK: {
            const LRESULT handled = PassToBox(message, wParam, lParam);
            Fire(kDblClick, {});
            return handled;
        }
        case WM_SETCURSOR:
            if (box_.SetCursorForPointer()) return TRUE;
            break;
        default:
            break;
    }
    return PassToBox(message, wParam, lParam);
}

LRESULT TextColor::OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam) {
    short keyCode = static_cast<short>(wParam);
    short shift = ShiftState();
    Fire(kKeyDown, {qv::win::com::ByRef(&keyCode), qv::win::com::ByRef(&shift)});
    const DeleteJudgement judged = JudgeKeyDown(keyCode, kept_.View(box_), kept_.Facts(box_, false), rules_);
    if (judged.moveCaret) box_.SetSelStart(judged.caret);
    if (judged.keyCode == 0) return 0;
    return PassToBox(message, static_cast<WPARAM>(static_cast<unsigned short>(judged.keyCode)), lParam);
}

LRESULT TextColor::OnChar(UINT message, WPARAM wParam, LPARAM lParam) {
    short keyAscii = KeyAsciiFromWideChar(static_cast<wchar_t>(wParam));
    if (keyAscii == 0) return 0;  // a character the ANSI box cannot hold
    Fire(kKeyPress, {qv::win::com::ByRef(&keyAscii)});
    const std::int16_t kept =
        FilterKeyPress(keyAscii, kept_.View(box_), kept_.Facts(box_, rules_.isNumeric), box_.MaxLength(), rules_);
    if (kept == 0) return 0;
    const wchar_t character = WideCharFromKeyAscii(kept);
    if (character == 0) return 0;
    kept_.BeforeTyping(character, GetWindowLongPtrW(box_.Window(), GWL_STYLE));
    const LRESULT handled = DefSubclassProc(box_.Window(), message, character, lParam);
    kept_.AfterTyping();
    return handled;
}

LRESULT TextColor::PassToBox(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT handled = DefSubclassProc(box_.Window(), message, wParam, lParam);
    kept_.AfterBoxHandled(message, wParam);
    return handled;
}

void TextColor::OnFocusChange(bool gained) {
    const bool enabled = box_.Enabled();
    const bool locked = box_.Locked();
    const FocusChange change =
        gained ? OnGotFocus(enabled, locked, colours_, selAllWhenFocus_) : OnLostFocus(enabled, locked, colours_);
    if (change.backColor) box_.ShowBackColor(static_cast<OLE_COLOR>(*change.backColor));
    if (change.selectAll) {
        box_.SetSelStart(0);
        box_.SetSelLength(static_cast<long>(box_.Text().size()));
    }
    InnerFocusChanged(gained);
}

void TextColor::FireMouse(DISPID id, short button, LPARAM lParam) {
    short shift = ShiftState();
    const POINTS point = MAKEPOINTS(lParam);
    float x = PixelsToTwips(point.x, true);
    float y = PixelsToTwips(point.y, false);
    Fire(id,
         {qv::win::com::ByRef(&button), qv::win::com::ByRef(&shift), qv::win::com::ByRef(&x), qv::win::com::ByRef(&y)});
}

int TextColor::Fire(DISPID id, std::initializer_list<VARIANT> arguments) {
    if (EventsFrozen()) return 0;
    // A handler may release the control; it stays alive until the event is over.
    const qv::win::ComPtr<_TextColor> keep(static_cast<_TextColor*>(this));
    return events_.Fire(id, arguments);
}

}  // namespace controls::win
