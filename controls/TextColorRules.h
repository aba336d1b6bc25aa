#pragma once
// The text box's key and focus rules, applied after the host has seen the
// event (the host's changes to KeyAscii/KeyCode are what these receive).
#include <cstdint>
#include <optional>

#include "TextBoxView.h"
#include "TextFacts.h"

namespace controls {

constexpr std::int16_t kDeleteKeyCode = 46;

struct KeyRules {
    bool chaTwoByte = false;
    bool isNumeric = false;
    bool isVarName = false;
    double maxNumber = 999999999999.0;
    std::int16_t digitNumber = 100;
    bool allowNegative = false;
};

// Letters, digits, "_", "." and Backspace.
bool IsNameKey(std::int16_t keyAscii);

// The KeyAscii the inner box should handle (0: the key has no effect).
std::int16_t FilterKeyPress(std::int16_t keyAscii, const TextBoxView& box, std::int32_t maxLength,
                            const KeyRules& rules);
// The same, with `facts` those of box.text (kept by the caller between keys).
std::int16_t FilterKeyPress(std::int16_t keyAscii, const TextBoxView& box, const TextFacts& facts,
                            std::int32_t maxLength, const KeyRules& rules);

struct DeleteJudgement {
    std::int16_t keyCode;  // 0 when the Delete must be ignored
    std::int32_t caret;    // where the caret stands afterwards (selection collapsed)
    bool moveCaret;        // false: the key is not Delete and the box is left alone
};

// Delete judged as a Backspace on the character after the caret.
DeleteJudgement JudgeKeyDown(std::int16_t keyCode, const TextBoxView& box, const KeyRules& rules);
DeleteJudgement JudgeKeyDown(std::int16_t keyCode, const TextBoxView& box, const TextFacts& facts,
                             const KeyRules& rules);

constexpr std::uint32_t kDefaultActiveColour = 0x00C0FFC0;    // red 192, green 255, blue 192
constexpr std::uint32_t kDefaultInactiveColour = 0x00FFFFFF;  // white

struct FocusColours {
    std::uint32_t active = kDefaultActiveColour;
    std::uint32_t inactive = kDefaultInactiveColour;
};

struct FocusChange {
    std::optional<std::uint32_t> backColor;  // nullopt: keep the background
    bool selectAll = false;
};

FocusChange OnGotFocus(bool enabled, bool locked, const FocusColours& colours, bool selAllWhenFocus);
FocusChange OnLostFocus(bool enabled, bool locked, const FocusColours& colours);

}  // namespace controls
