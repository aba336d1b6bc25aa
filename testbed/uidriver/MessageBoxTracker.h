#pragma once
// Follows the message boxes on the screen: records each new box once it has
// settled, then answers it after the answer delay.
#include <map>
#include <utility>
#include <vector>

#include "AnswerRules.h"
#include "EventLog.h"
#include "common/win32/WindowsApi.h"

namespace testbed {

class MessageBoxTracker {
public:
    MessageBoxTracker(AnswerRules rules, DWORD answerDelayMs, EventLog& log)
        : m_rules(std::move(rules)), m_answerDelayMs(answerDelayMs), m_log(log) {}

    // One look at the screen at time `now` (GetTickCount64).
    void Poll(const std::vector<HWND>& topLevel, ULONGLONG now);

private:
    struct Box {
        ULONGLONG seenAt = 0;
        ULONGLONG recordedAt = 0;
        bool recorded = false;
        int button = 0;  // picked when recorded
        bool answered = false;
    };

    // Records the box and picks its answer, unless its icon may still be painted.
    void Record(HWND window, Box& box, ULONGLONG now);
    void Answer(HWND window, Box& box);

    AnswerRules m_rules;
    DWORD m_answerDelayMs;
    EventLog& m_log;
    // Kept until the window is gone, so that a box is handled once.
    std::map<HWND, Box> m_boxes;
};

}  // namespace testbed
