// keystroke_rule_bench: the text box's key rules judging one keystroke on a
// 32 767-character text, natively, against the baseline of copying the text
// once (the least a judgement that reads the whole text costs). The rules
// judge from the facts the control keeps about its text; working those out
// again from the whole text is printed beside. While a person types, the
// text changes with every key: the typed case brings the kept facts up to
// date from the typed character and judges the next key on them. Prints the
// microseconds per keystroke, the ratio to the baseline and the 50 us goal.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "controls/TextColorRules.h"
#include "controls/TextFacts.h"

namespace {

constexpr std::int32_t kLength = 32767;
constexpr int kKeystrokes = 2000;
constexpr int kBatches = 5;

// Median over batches of the microseconds one call takes.
double MicrosPerCall(const std::function<void()>& call) {
    std::vector<double> batches;
    for (int b = 0; b < kBatches; ++b) {
        const auto started = std::chrono::steady_clock::now();
        for (int i = 0; i < kKeystrokes; ++i) call();
        const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - started;
        batches.push_back(spent.count() / kKeystrokes);
    }
    std::sort(batches.begin(), batches.end());
    return batches[batches.size() / 2];
}

controls::AnsiText Repeated(std::initializer_list<std::int16_t> pattern) {
    controls::AnsiText text;
    while (static_cast<std::int32_t>(text.size()) < kLength) {
        for (std::int16_t code : pattern) text.push_back(code);
    }
    text.resize(kLength);
    return text;
}

struct Case {
    const char* name;
    controls::TextBoxView box;
    std::int16_t key;
    std::int32_t maxLength;
    controls::KeyRules rules;
};

}  // namespace

int main() {
    const auto ascii = Repeated({'a', 'b', 'c', '1', '_'});
    const auto chinese = Repeated({static_cast<std::int16_t>(0xD6D0), static_cast<std::int16_t>(0xCEC4)});
    const auto digits = Repeated({'1', '2', '3', '4', '5', '6', '7', '8', '9', '0'});
    controls::KeyRules budget;
    controls::KeyRules twoByte;
    twoByte.chaTwoByte = true;
    controls::KeyRules name;
    name.isVarName = true;
    controls::KeyRules numeric;
    numeric.isNumeric = true;
    const std::vector<Case> cases = {
        {"byte budget, full ASCII text", {ascii, kLength, 0}, 'x', kLength, budget},
        {"byte budget, double-byte text", {chinese, kLength, 0}, 'x', 2 * kLength, twoByte},
        {"name characters, key accepted", {ascii, kLength, 0}, 'x', 2 * kLength, name},
        {"number, digit at the end", {digits, kLength, 0}, '7', kLength + 1, numeric},
    };
    volatile std::int64_t sink = 0;
    const double baseline = MicrosPerCall([&] {
        const controls::TextBoxView copy = cases[0].box;
        sink = sink + static_cast<std::int64_t>(copy.text.size());
    });
    std::printf("one keystroke judged on a %d-character text (median of %d x %d, native)\n", kLength, kBatches,
                kKeystrokes);
    std::printf("  %-34s %8.2f us\n", "baseline: copy of the text", baseline);
    bool allUnderGoal = true;
    for (const Case& c : cases) {
        const controls::TextFacts facts = controls::FactsOf(c.box.text, c.rules.isNumeric);
        const double micros =
            MicrosPerCall([&] { sink = sink + controls::FilterKeyPress(c.key, c.box, facts, c.maxLength, c.rules); });
        const double once =
            MicrosPerCall([&] { sink = sink + controls::FactsOf(c.box.text, c.rules.isNumeric).length; });
        allUnderGoal = allUnderGoal && micros < 50.0;
        std::printf("  %-34s %8.2f us  ratio to baseline %6.2f  (facts from the whole text: %.2f us more)\n", c.name,
                    micros, micros / baseline, once);
    }
    // Typing at the end: each key is judged, then put into the text as the box does.
    controls::KeyRules unlimited = numeric;
    unlimited.maxNumber = INFINITY;
    const std::vector<Case> typed = {
        {"typed: byte budget, ASCII text", {ascii, 0, 0}, 'x', 2 * kLength, budget},
        {"typed: byte budget, double-byte", {chinese, 0, 0}, static_cast<std::int16_t>(0xD6D0), 4 * kLength, twoByte},
        {"typed: number without a maximum", {digits, 0, 0}, '7', 0, unlimited},
    };
    for (const Case& c : typed) {
        controls::TextBoxView box = c.box;
        box.text.resize(kLength - kBatches * kKeystrokes);  // it grows to the full length
        box.selStart = static_cast<std::int32_t>(box.text.size());
        controls::TextFacts facts = controls::FactsOf(box.text, false);
        bool allTaken = true;
        const double micros = MicrosPerCall([&] {
            if (c.rules.isNumeric && !facts.numberKnown) controls::AddNumberFacts(box.text, facts);
            const std::int16_t kept = controls::FilterKeyPress(c.key, box, facts, c.maxLength, c.rules);
            allTaken = allTaken && kept == c.key;
            controls::ReplaceSelection(box.text, facts, box.selStart, box.selLength, kept);
            ++box.selStart;
        });
        allUnderGoal = allUnderGoal && allTaken && micros < 50.0;
        std::printf("  %-34s %8.2f us  ratio to baseline %6.2f  (%zu characters at the end%s)\n", c.name, micros,
                    micros / baseline, box.text.size(), allTaken ? "" : ", a key was refused");
    }
    std::printf("  goal: under 50 us each: %s\n", allUnderGoal ? "met" : "NOT met");
    return 0;
}
