#pragma once
// Running count of transferred units with the millisecond tick of each step,
// turned into rates: the average since Clear, and the rate since the previous
// sample.
//
// Ticks are stored bit for bit as signed 32-bit values. Every tick interval
// is the unsigned difference of the two ticks modulo 2^32, so an interval
// that spans the signed wrap (0x7FFFFFFF -> 0x80000000) or the unsigned wrap
// (0xFFFFFFFF -> 0) is measured correctly and is never negative. Intervals
// are therefore valid up to 2^32 - 1 ms; TotalTickCount, which returns the
// interval as a signed 32-bit value, fails with an overflow error only past
// 2^31 - 1 ms (about 24.8 days).
//
// Every failing operation throws qv::AppError (overflow) and leaves the
// counter as it was.
#include <cstdint>

#include "Platform.h"

namespace launcher {

class clsCount {
public:
    explicit clsCount(IClock& clock);

    void Clear();
    void Count(std::int32_t lUnits);

    std::int32_t CountStart() const { return m_lStart; }
    void SetCountStart(std::int32_t lValue);
    std::int32_t CountEnd() const { return m_lEnd; }

    std::int32_t TotalTickCount() const;
    std::int32_t TotalSpeed() const;
    // Takes a new sample unless nothing was counted in a later tick.
    std::int32_t Speed();
    bool NewSpeed() const;

private:
    IClock& m_oClock;
    std::int32_t m_lStart = 0;
    std::int32_t m_lEnd = 0;
    std::int32_t m_lLastCount = 0;
    std::int32_t m_lLastSpeed = 0;
    std::int32_t m_lStartTick = 0;
    std::int32_t m_lNowTick = 0;
    std::int32_t m_lLastTick = 0;
};

}  // namespace launcher
