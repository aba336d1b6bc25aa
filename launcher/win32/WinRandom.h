#pragma once
// Single-precision random numbers in [0, 1), seeded once per object from the
// tick count and the process id, so two launchers started in the same
// millisecond still draw differently.
#include <cstdint>
#include <random>

#include "launcher/Platform.h"

namespace launcher::win {

class WinRandom final : public IRandom {
public:
    WinRandom();
    float NextSingle() override;

    // 32 random bits as a float in [0, 1): their top 24 fill the mantissa
    // exactly, so the largest result is 1 - 2^-24 and nothing rounds up to 1.
    static float ToUnitSingle(std::uint32_t bits);

private:
    std::mt19937 engine_;
};

}  // namespace launcher::win
