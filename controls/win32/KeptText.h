#pragma once
// The inner box's text and selection as the key rules read them, with the
// text's facts, kept between keys: on a long text, reading and converting
// the text, and even asking the box where its caret is, costs more than the
// rules themselves. What a message to the box may change is forgotten after it.
#include <optional>

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
    void Forget() noexcept {
        textKept_ = selectionKept_ = false;
        typing_.reset();
    }
    // After the box handled `message`: forgets what it may have changed.
    void AfterBoxHandled(UINT message, WPARAM wParam) noexcept;

    // A character the rules let through is about to go to the box, whose
    // style is `style`. When the box takes it as typed text (one change of the
    // text, nothing cut off by its limit), the kept text follows from it,
    // without a message to the box: on a long text each costs more than the rules.
    void BeforeTyping(wchar_t character, LONG_PTR style);
    // A notification of the box (EN_CHANGE, EN_MAXTEXT, ...).
    void BoxNotified(WORD code) noexcept;
    void AfterTyping();

private:
    struct Typing {
        std::int64_t start;
        std::int64_t length;
        std::int16_t code;
        int changes;
    };

    void Refresh(const InnerTextBox& box);

    TextBoxView view_;
    TextFacts facts_;
    bool textKept_ = false;
    bool selectionKept_ = false;
    std::optional<Typing> typing_;
};

}  // namespace controls::win
