#include "clsCount.h"

#include <limits>
#include <optional>

#include "common/AppError.h"
#include "common/NumberText.h"

namespace launcher {
namespace {

std::int32_t CheckedInt32(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
        throw qv::OverflowError();
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) { return CheckedInt32(std::int64_t{a} + b); }

std::int32_t CheckedSubtract(std::int32_t a, std::int32_t b) { return CheckedInt32(std::int64_t{a} - b); }

// Milliseconds from `from` to `to`, modulo 2^32: correct across both tick wraps.
std::uint32_t TickInterval(std::int32_t from, std::int32_t to) {
    return static_cast<std::uint32_t>(to) - static_cast<std::uint32_t>(from);
}

std::int32_t Rate(std::int32_t lUnits, std::uint32_t lMilliseconds) {
    const double rate = static_cast<double>(lUnits) / (static_cast<double>(lMilliseconds) / 1000.0);
    const std::optional<std::int32_t> rounded = qv::ToInt32(rate);
    if (!rounded) {
        throw qv::OverflowError();
    }
    return *rounded;
}

}  // namespace

clsCount::clsCount(IClock& clock) : m_oClock(clock) {}

void clsCount::Clear() {
    const auto lTick = static_cast<std::int32_t>(m_oClock.TickCount());
    m_lStart = 0;
    m_lEnd = 0;
    m_lLastCount = 0;
    m_lLastSpeed = 0;
    m_lStartTick = lTick;
    m_lNowTick = lTick;
    m_lLastTick = lTick;
}

void clsCount::Count(std::int32_t lUnits) {
    m_lEnd = CheckedAdd(m_lEnd, lUnits);
    m_lNowTick = static_cast<std::int32_t>(m_oClock.TickCount());
}

void clsCount::SetCountStart(std::int32_t lValue) {
    m_lStart = lValue;
    m_lEnd = lValue;
}

std::int32_t clsCount::TotalTickCount() const { return CheckedInt32(TickInterval(m_lStartTick, m_lNowTick)); }

std::int32_t clsCount::TotalSpeed() const {
    if (m_lNowTick == m_lStartTick) {
        return 0;
    }
    return Rate(CheckedSubtract(m_lEnd, m_lStart), TickInterval(m_lStartTick, m_lNowTick));
}

std::int32_t clsCount::Speed() {
    if (m_lLastTick == m_lNowTick) {
        return m_lLastSpeed;
    }
    const std::int32_t lRate = Rate(CheckedSubtract(m_lEnd, m_lLastCount), TickInterval(m_lLastTick, m_lNowTick));
    m_lLastSpeed = lRate;
    m_lLastTick = m_lNowTick;
    m_lLastCount = m_lEnd;
    return lRate;
}

bool clsCount::NewSpeed() const { return TickInterval(m_lLastTick, m_lNowTick) > 1000U; }

}  // namespace launcher
