#include "KeptText.h"

namespace controls::win {

void KeptText::Refresh(const InnerTextBox& box) {
    if (!kept_) {
        view_.text = AnsiTextFromWide(box.Text());
        facts_ = FactsOf(view_.text, false);
        kept_ = true;
    }
}

const TextBoxView& KeptText::View(const InnerTextBox& box) {
    Refresh(box);
    view_.selStart = box.SelStart();
    view_.selLength = box.SelLength();
    return view_;
}

const TextFacts& KeptText::Facts(const InnerTextBox& box, bool withNumber) {
    Refresh(box);
    if (withNumber && !facts_.numberKnown) facts_ = FactsOf(view_.text, true);
    return facts_;
}

bool KeptText::MayChangeText(UINT message) {
    switch (message) {
        case WM_SETTEXT:
        case EM_REPLACESEL:
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
        case WM_UNDO:
        case EM_UNDO:
        case WM_IME_CHAR:
        case EM_SETHANDLE:
            return true;
        default:
            return false;
    }
}

}  // namespace controls::win
