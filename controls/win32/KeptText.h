#pragma once
// The inner box's text as the key rules read it, with its facts, kept between
// keys: reading and converting 32 767 characters on every key costs more than
// the rules themselves. Forgotten whenever the box's text may have changed.
#include "AnsiKeys.h"
#include "InnerTextBox.h"
#include "controls/TextFacts.h"

namespace controls::win {

class KeptText {
public:
    // The box's text (read again only after Forget) and its current selection.
    const TextBoxView& View(const InnerTextBox& box);
    // The number the text begins with is worked out only for a numeric box.
    const TextFacts& Facts(const InnerTextBox& box, bool withNumber);
    void Forget() noexcept { kept_ = false; }

    // Messages to the box, other than the keys the rules judge, that may change its text.
    static bool MayChangeText(UINT message);

private:
    void Refresh(const InnerTextBox& box);

    TextBoxView view_;
    TextFacts facts_;
    bool kept_ = false;
};

}  // namespace controls::win
