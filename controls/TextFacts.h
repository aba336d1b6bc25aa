#pragma once
// What the key rules need to know about a box's whole text, worked out once
// per text: the control keeps them between keys and works them out again only
// when the text changes, so a key costs the same on a long text as on a short one.
#include <cstdint>

#include "TextBoxView.h"

namespace controls {

struct TextFacts {
    std::int64_t length = 0;
    std::int64_t wideCount = 0;      // characters outside 7-bit ASCII
    std::int64_t pointPosition = 0;  // 1-based position of the first ".", 0 when there is none
    // The rest only when asked for: working out the number costs far more.
    bool numberKnown = false;
    double value = 0.0;  // the number the text begins with
    // The same number with every "," taken out, as a typed digit is judged,
    // and how many leading characters decided it (one more than the length
    // when a character added at the end could still change it).
    double plainValue = 0.0;
    std::int64_t plainReach = 0;
    bool plainOpen = false;     // its digits run to the end of the text
    bool plainSettled = false;  // open, and no digit added at the end changes it
};

TextFacts FactsOf(const AnsiText& text, bool withNumber = true);

// Works out the number's facts of `facts`, which hold the rest for `text`.
void AddNumberFacts(const AnsiText& text, TextFacts& facts);

// A typed character replaced the selection (`length` characters from the
// 0-based `start`, none for a caret): changes `text` and brings its facts up
// to date from what changed, not from the whole text. The number's facts are
// left to be worked out again when asked for, unless a digit added at the
// end of a number that it cannot change any more. Answers where the
// character went (0-based).
std::int64_t ReplaceSelection(AnsiText& text, TextFacts& facts, std::int64_t start, std::int64_t length,
                              std::int16_t code);

}  // namespace controls
