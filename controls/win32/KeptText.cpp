#include "KeptText.h"

namespace controls::win {
namespace {

enum class Changes { nothing, selection, anything };

// Keys that move the caret or select, not touching the text (without Ctrl).
bool IsMovingKey(WPARAM key) { return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_SHIFT; }

// Anything not known to leave the box alone counts as a change of both.
Changes ChangesOf(UINT message, WPARAM wParam) {
    switch (message) {
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_PAINT:
        case WM_NCPAINT:
        case WM_ERASEBKGND:
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
        case WM_GETFONT:
        case WM_GETDLGCODE:
        case WM_SETCURSOR:
        case WM_NCHITTEST:
        case WM_NCMOUSEMOVE:
        case WM_SETFONT:
        case WM_STYLECHANGING:
        case WM_STYLECHANGED:
        case WM_WINDOWPOSCHANGING:
        case WM_WINDOWPOSCHANGED:
        case WM_MOVE:
        case WM_SIZE:
        case WM_NCCALCSIZE:
        case WM_SHOWWINDOW:
        case WM_ENABLE:
        case EM_GETSEL:
        case EM_GETLIMITTEXT:
        case EM_GETPASSWORDCHAR:
        case EM_SETLIMITTEXT:
        case EM_SETREADONLY:
        case EM_SETPASSWORDCHAR:
            return Changes::nothing;
        case WM_MOUSEMOVE:
            return (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 ? Changes::nothing : Changes::selection;
        case WM_KEYDOWN:
            if (GetKeyState(VK_CONTROL) < 0) return Changes::anything;
            if (IsMovingKey(wParam)) return Changes::selection;
            return wParam == VK_DELETE || wParam == VK_INSERT || wParam == VK_BACK ? Changes::anything
                                                                                   : Changes::nothing;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_TIMER:
        case WM_CAPTURECHANGED:
        case EM_SETSEL:
            return Changes::selection;
        default:
            return Changes::anything;
    }
}

}  // namespace

void KeptText::Refresh(const InnerTextBox& box) {
    // Asked while a typed character is on its way (from a handler of the
    // change it made): the box is ahead of what is kept.
    if (typing_) Forget();
    if (!textKept_) {
        view_.text = AnsiTextFromWide(box.Text());
        facts_ = FactsOf(view_.text, false);
        textKept_ = true;
    }
    if (!selectionKept_) {
        const InnerTextBox::Selection selection = box.CurrentSelection();
        view_.selStart = selection.start;
        view_.selLength = selection.length;
        selectionKept_ = true;
    }
}

const TextBoxView& KeptText::View(const InnerTextBox& box) {
    Refresh(box);
    return view_;
}

const TextFacts& KeptText::Facts(const InnerTextBox& box, bool withNumber) {
    Refresh(box);
    if (withNumber && !facts_.numberKnown) AddNumberFacts(view_.text, facts_);
    return facts_;
}

void KeptText::AfterBoxHandled(UINT message, WPARAM wParam) noexcept {
    const Changes changes = ChangesOf(message, wParam);
    // Anything else done to the box while a typed character is on its way.
    if (typing_ && changes != Changes::nothing) Forget();
    switch (changes) {
        case Changes::nothing:
            break;
        case Changes::selection:
            selectionKept_ = false;
            break;
        case Changes::anything:
            Forget();
            break;
    }
}

void KeptText::BeforeTyping(wchar_t character, LONG_PTR style) {
    typing_.reset();
    // Control characters are edits (Backspace) or nothing, never text; these
    // styles make the box keep another character than the one typed, or none.
    constexpr LONG_PTR kConverting = ES_UPPERCASE | ES_LOWERCASE | ES_NUMBER | ES_OEMCONVERT | ES_MULTILINE;
    if (!textKept_ || !selectionKept_ || character < L' ' || character == 0x7F || (style & kConverting) != 0) return;
    const AnsiText codes = AnsiTextFromWide(std::wstring(1, character));
    if (codes.size() != 1) return;
    typing_ = Typing{view_.selStart, view_.selLength, codes.front(), 0};
}

void KeptText::BoxNotified(WORD code) noexcept {
    if (code == EN_CHANGE && typing_ && typing_->changes == 0) {
        typing_->changes = 1;
        return;
    }
    // A second change, or the typed character cut off by the box's limit.
    if (code == EN_CHANGE || code == EN_MAXTEXT) Forget();
}

void KeptText::AfterTyping() {
    if (!typing_ || typing_->changes != 1) {
        Forget();
        return;
    }
    const Typing typed = *typing_;
    typing_.reset();
    const std::int64_t at = ReplaceSelection(view_.text, facts_, typed.start, typed.length, typed.code);
    view_.selStart = static_cast<std::int32_t>(at + 1);  // the box puts its caret after the typed character
    view_.selLength = 0;
}

}  // namespace controls::win
