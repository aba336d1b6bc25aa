#include "launcher/win32/WinRandom.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using launcher::win::WinRandom;

TEST(WinRandom, BitsBecomeSinglesBelowOne) {
    struct Case {
        std::uint32_t bits;
        float expected;
    };
    const Case cases[] = {
        {0u, 0.0f},
        {0xFFu, 0.0f},  // below the mantissa's reach
        {0x80000000u, 0.5f},
        {0xFFFFFFFFu, 1.0f - 1.0f / 16777216.0f},  // the largest, still below 1
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WinRandom::ToUnitSingle(c.bits), c.expected) << c.bits;
    }
}

TEST(WinRandom, DrawsSpreadOverTheUnitInterval) {
    WinRandom random;
    std::set<float> seen;
    double sum = 0;
    constexpr int kDraws = 20000;
    for (int i = 0; i < kDraws; ++i) {
        const float r = random.NextSingle();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        seen.insert(r);
        sum += r;
    }
    EXPECT_GT(seen.size(), kDraws * 9 / 10);
    EXPECT_NEAR(sum / kDraws, 0.5, 0.02);
}

}  // namespace
