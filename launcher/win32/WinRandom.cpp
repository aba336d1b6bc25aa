#include "WinRandom.h"

#include "common/win32/WindowsApi.h"

namespace launcher::win {

WinRandom::WinRandom() {
    std::seed_seq seed{static_cast<std::uint32_t>(GetTickCount()), static_cast<std::uint32_t>(GetCurrentProcessId())};
    engine_.seed(seed);
}

float WinRandom::NextSingle() { return ToUnitSingle(static_cast<std::uint32_t>(engine_())); }

float WinRandom::ToUnitSingle(std::uint32_t bits) {
    constexpr float kScale = 1.0f / 16777216.0f;
    return static_cast<float>(bits >> 8) * kScale;
}

}  // namespace launcher::win
