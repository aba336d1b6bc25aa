#pragma once
// The inner box's text and selection as the key rules read them, with the
// text's facts, kept between keys: on a long text, reading and converting
// the text, and even asking the box where its caret is, costs more than the
// rules themselves. What a message to the box may change is forgotten after it.
#include "AnsiKeys.h"
#include "InnerTextBox.h"
#include "controls/TextFacts.h"

namespace controls::win {

class KeptText {
public:
    // The box's text and selection, each asked of the box only when forgotten.
    const TextBoxView& View(const InnerTextBox& box);
    // The number the text begins with is worked out only for a numeric box.
    const TextFacts& Facts(const InnerTextBox& box, bool withNumber);
    void Forget() noexcept { textKept_ = selectionKept_ = false; }
    // After the box handled `message`: forgets what it may have changed.
    void AfterBoxHandled(UINT message, WPARAM wParam) noexcept;

private:
    void Refresh(const InnerTextBox& box);

    TextBoxView view_;
    TextFacts facts_;
    bool textKept_ = false;
    bool selectionKept_ = false;
};

}  // namespace controls::win
