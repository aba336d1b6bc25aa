#include "MessageBoxTracker.h"

#include <cstdint>
#include <string>
#include <vector>

#include "JsonLine.h"
#include "MessageBoxReader.h"

namespace testbed {
namespace {

// A box becomes visible once its texts are set, but it may not have painted
// its icon yet, which the icon recognition reads from the screen: an icon not
// recognised is looked at again for a while before it is recorded as unknown.
constexpr ULONGLONG kSettleMs = 150;
constexpr ULONGLONG kPaintWaitMs = 1500;

}  // namespace

void MessageBoxTracker::Poll(const std::vector<HWND>& topLevel, ULONGLONG now) {
    for (HWND window : topLevel) {
        if (!m_boxes.contains(window) && IsMessageBox(window)) {
            m_boxes[window].seenAt = now;
        }
    }
    for (auto entry = m_boxes.begin(); entry != m_boxes.end();) {
        auto& [window, box] = *entry;
        if (!IsWindow(window)) {
            entry = m_boxes.erase(entry);
            continue;
        }
        if (!box.recorded && now - box.seenAt >= kSettleMs) {
            Record(window, box, now);
        } else if (box.recorded && !box.answered && now - box.recordedAt >= m_answerDelayMs) {
            Answer(window, box);
        }
        ++entry;
    }
}

void MessageBoxTracker::Record(HWND window, Box& box, ULONGLONG now) {
    const MessageBoxFacts facts = ReadMessageBox(window);
    if (facts.icon == "unknown" && now - box.seenAt < kPaintWaitMs) {
        return;
    }
    std::vector<std::string> buttonTexts;
    std::vector<std::int64_t> buttonIds;
    for (const BoxButton& button : facts.buttons) {
        buttonTexts.push_back(button.text);
        buttonIds.push_back(button.id);
    }
    m_log.Write(JsonLine()
                    .Text("kind", "box")
                    .Text("title", facts.title)
                    .Text("text", facts.text)
                    .Text("icon", facts.icon)
                    .Texts("buttons", buttonTexts)
                    .Numbers("buttonIds", buttonIds)
                    .Number("defaultButton", facts.defaultButton)
                    .Boolean("topmost", facts.topmost)
                    .Number("pid", facts.process)
                    .Str());
    box.recorded = true;
    box.recordedAt = now;
    box.button = m_rules.Take(facts.text).value_or(facts.defaultButton);
}

void MessageBoxTracker::Answer(HWND window, Box& box) {
    const bool closed = PressButton(window, box.button);
    box.answered = true;
    m_log.Write(JsonLine().Text("kind", "answer").Number("button", box.button).Boolean("closed", closed).Str());
}

}  // namespace testbed
