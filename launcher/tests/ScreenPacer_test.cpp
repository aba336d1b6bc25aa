#include "ScreenPacer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace launcher {
namespace {

// Which of the ticks are due, for a pacer of 100 ms.
std::vector<std::uint32_t> DueTicks(const std::vector<std::uint32_t>& ticks) {
    ScreenPacer pacer(100);
    std::vector<std::uint32_t> due;
    for (std::uint32_t tick : ticks) {
        if (pacer.Due(tick)) due.push_back(tick);
    }
    return due;
}

TEST(ScreenPacer, FirstCallThenOncePerIntervalCountedFromTheLastDueCall) {
    EXPECT_EQ(DueTicks({5000, 5000, 5099, 5100, 5150, 5199, 5200, 5450}),
              (std::vector<std::uint32_t>{5000, 5100, 5200, 5450}));
    // A late call restarts the interval from itself, not from the missed slot.
    EXPECT_EQ(DueTicks({0, 350, 420, 449, 450}), (std::vector<std::uint32_t>{0, 350, 450}));
}

TEST(ScreenPacer, IntervalsSpanTheWrapOfTheTick) {
    EXPECT_EQ(DueTicks({0xFFFFFFC0U, 0xFFFFFFFFU, 0x00000010U, 0x00000023U, 0x00000024U}),
              (std::vector<std::uint32_t>{0xFFFFFFC0U, 0x00000024U}));
    EXPECT_EQ(DueTicks({0x7FFFFFC0U, 0x80000010U, 0x80000024U}),
              (std::vector<std::uint32_t>{0x7FFFFFC0U, 0x80000024U}));
}

}  // namespace
}  // namespace launcher
