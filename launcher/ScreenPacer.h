#pragma once
// When a window that is handed new values for every block turns them into
// pixels and services its message queue: at most once per interval of the
// millisecond tick, and always at the first chance.
#include <cstdint>

namespace launcher {

class ScreenPacer {
public:
    explicit ScreenPacer(std::uint32_t intervalMs) : m_intervalMs(intervalMs) {}

    // True at the first call and whenever the interval has passed since the
    // last true; intervals are taken modulo 2^32, so the tick may wrap.
    bool Due(std::uint32_t nowTick);

private:
    std::uint32_t m_intervalMs;
    std::uint32_t m_lastTick = 0;
    bool m_started = false;
};

}  // namespace launcher
