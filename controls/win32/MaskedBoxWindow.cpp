// The masked box's EDIT window: keys go to the listener first, typed
// characters and clipboard edits never insert or shift, they overwrite or
// blank digit positions.
#include "AnsiKeys.h"
#include "ControlEvents.h"
#include "MaskedBox.h"
#include "controls/MaskedText.h"

namespace controls::win {
namespace {

std::u16string ToU16(std::wstring_view text) { return {text.begin(), text.end()}; }

constexpr short kCopyKey = 3;
constexpr short kBackspaceKey = 8;
constexpr short kPasteKey = 22;
constexpr short kCutKey = 24;

class ClipboardText {
public:
    explicit ClipboardText(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~ClipboardText() {
        if (open_) CloseClipboard();
    }
    ClipboardText(const ClipboardText&) = delete;
    ClipboardText& operator=(const ClipboardText&) = delete;
    std::wstring Read() const {
        if (!open_) return {};
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
        if (!text) return {};
        std::wstring result(text, wcsnlen(text, GlobalSize(data) / sizeof(wchar_t)));
        GlobalUnlock(data);
        return result;
    }

private:
    bool open_;
};

}  // namespace

LRESULT CALLBACK MaskedBox::BoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MaskedBox* box = FromWindow(window);
    if (!box) return DefWindowProcW(window, message, wParam, lParam);
    // A listener may release the box while it handles one of its messages.
    qv::win::ComPtr<MaskedBox> keepAlive(box);
    return box->OnMessage(message, wParam, lParam);
}

LRESULT MaskedBox::CallEdit(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(editProc_, window_, message, wParam, lParam);
}

LRESULT MaskedBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
            if (!OnKeyDown(wParam)) return 0;
            break;
        case WM_KEYUP:
            if (!OnKeyUp(wParam)) return 0;
            break;
        case WM_CHAR:
        case WM_IME_CHAR:
            OnCharacter(static_cast<wchar_t>(wParam));
            return 0;
        case WM_PASTE:
            Paste();
            return 0;
        case WM_CUT:
            CallEdit(WM_COPY, 0, 0);
            BlankSelection();
            return 0;
        case WM_CLEAR:
            BlankSelection();
            return 0;
        case WM_UNDO:
        case EM_UNDO:
            return 0;
        case WM_SETFOCUS: {
            const LRESULT result = CallEdit(message, wParam, lParam);
            if (listener_) listener_->GotFocus();
            return result;
        }
        case WM_KILLFOCUS: {
            const LRESULT result = CallEdit(message, wParam, lParam);
            if (listener_) listener_->LostFocus();
            return result;
        }
        case WM_NCDESTROY: {
            const WNDPROC edit = editProc_;
            HWND window = window_;
            Detach();
            return CallWindowProcW(edit, window, message, wParam, lParam);
        }
        default:
            break;
    }
    return CallEdit(message, wParam, lParam);
}

// False: the key is not handled further.
bool MaskedBox::OnKeyDown(WPARAM virtualKey) {
    auto keyCode = static_cast<short>(virtualKey);
    if (listener_) listener_->KeyDown(keyCode, ShiftState());
    if (keyCode == 0 || !window_) return false;
    if (keyCode != VK_DELETE) return true;
    long start = 0;
    long end = 0;
    Selection(start, end);
    if (start != end) {
        BlankSelection();
    } else if (auto edit = DeleteInMask(mask_, ToU16(WindowText()), start)) {
        Show(edit->text, edit->caret);
    }
    return false;
}

bool MaskedBox::OnKeyUp(WPARAM virtualKey) {
    auto keyCode = static_cast<short>(virtualKey);
    if (listener_) listener_->KeyUp(keyCode, ShiftState());
    return keyCode != 0;
}

void MaskedBox::OnCharacter(wchar_t character) {
    short keyAscii = KeyAsciiFromWideChar(character);
    if (keyAscii == 0) return;
    if (listener_) listener_->KeyPress(keyAscii);
    if (keyAscii == 0 || !window_) return;
    long start = 0;
    long end = 0;
    Selection(start, end);
    switch (keyAscii) {
        case kCopyKey:
            CallEdit(WM_COPY, 0, 0);
            return;
        case kCutKey:
            OnMessage(WM_CUT, 0, 0);
            return;
        case kPasteKey:
            Paste();
            return;
        case kBackspaceKey:
            if (start != end) {
                BlankSelection();
            } else if (auto edit = BackspaceInMask(mask_, ToU16(WindowText()), start)) {
                Show(edit->text, edit->caret);
            }
            return;
        default:
            break;
    }
    const wchar_t typed = WideCharFromKeyAscii(keyAscii);
    if (auto edit = TypeIntoMask(mask_, ToU16(WindowText()), start, static_cast<char16_t>(typed))) {
        Show(edit->text, edit->caret);
    }
}

void MaskedBox::Paste() {
    const std::u16string text = ToU16(ClipboardText(window_).Read());
    if (!text.empty() && FitsMask(mask_, text)) Show(text, static_cast<long>(text.size()));
}

void MaskedBox::BlankSelection() {
    long start = 0;
    long end = 0;
    Selection(start, end);
    const MaskedEdit edit = BlankMaskRange(mask_, ToU16(WindowText()), start, end - start);
    Show(edit.text, edit.caret);
}

}  // namespace controls::win
