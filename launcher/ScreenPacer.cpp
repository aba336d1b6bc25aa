#include "ScreenPacer.h"

namespace launcher {

bool ScreenPacer::Due(std::uint32_t nowTick) {
    if (m_started && nowTick - m_lastTick < m_intervalMs) return false;
    m_started = true;
    m_lastTick = nowTick;
    return true;
}

}  // namespace launcher
