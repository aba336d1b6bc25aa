#include "launcher/clsCount.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "common/AppError.h"
#include "launcher/tests/support/FakeClock.h"

namespace launcher {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Near the signed wrap, near the unsigned wrap, and far from both.
constexpr std::uint32_t kStartTicks[] = {1000U, 0x7FFFFF00U, 0xFFFFFF00U};

void ExpectOverflow(auto&& operation) {
    try {
        operation();
        ADD_FAILURE() << "no overflow error";
    } catch (const qv::AppError& error) {
        EXPECT_EQ(error.Number(), qv::errnum::Overflow);
    }
}

TEST(clsCount, RatesRoundHalvesToEvenAcrossTickWraps) {
    struct Case {
        std::int32_t units;
        std::uint32_t ms;
        std::int32_t rate;
    };
    const Case cases[] = {
        {5000, 2000, 2500}, {5, 2000, 2}, {7, 2000, 4}, {-5, 2000, -2}, {2, 3, 667}, {-5000, 2000, -2500},
    };
    for (std::uint32_t start : kStartTicks) {
        for (const Case& c : cases) {
            FakeClock clock(start);
            clsCount counter(clock);
            counter.Clear();
            clock.Advance(c.ms);
            counter.Count(c.units);
            SCOPED_TRACE(testing::Message() << "start " << start << ", " << c.units << " in " << c.ms);
            EXPECT_EQ(counter.TotalTickCount(), static_cast<std::int32_t>(c.ms));
            EXPECT_EQ(counter.TotalSpeed(), c.rate);
            EXPECT_EQ(counter.Speed(), c.rate);
        }
    }
}

TEST(clsCount, SpeedSamplesOnlyBetweenCounts) {
    FakeClock clock(500);
    clsCount counter(clock);
    counter.Clear();
    EXPECT_EQ(counter.Speed(), 0);
    clock.Advance(1000);
    counter.Count(1000);
    EXPECT_EQ(counter.Speed(), 1000);
    clock.Advance(5000);  // time after the latest Count does not dilute the rate
    EXPECT_EQ(counter.Speed(), 1000);
    counter.Count(2000);
    EXPECT_EQ(counter.Speed(), 400);  // from the previous sample only
    EXPECT_EQ(counter.TotalSpeed(), 500);
    counter.Clear();
    EXPECT_EQ(counter.CountEnd(), 0);
    EXPECT_EQ(counter.Speed(), 0);
    EXPECT_EQ(counter.TotalSpeed(), 0);
}

TEST(clsCount, NewSpeedAfterMoreThanOneSecondSinceSample) {
    struct Case {
        std::uint32_t ms;
        bool expected;
    };
    for (std::uint32_t start : kStartTicks) {
        for (const Case& c : {Case{999, false}, Case{1000, false}, Case{1001, true}}) {
            FakeClock clock(start);
            clsCount counter(clock);
            counter.Clear();
            clock.Advance(c.ms);
            counter.Count(1);
            EXPECT_EQ(counter.NewSpeed(), c.expected) << start << " + " << c.ms;
            counter.Speed();
            EXPECT_FALSE(counter.NewSpeed());
        }
    }
}

TEST(clsCount, CountStartCountsAsTransferredForFirstSpeedOnly) {
    FakeClock clock;
    clsCount counter(clock);
    counter.Clear();
    counter.SetCountStart(1000);
    clock.Advance(1000);
    counter.Count(500);
    counter.Count(-100);
    EXPECT_EQ(counter.CountStart(), 1000);
    EXPECT_EQ(counter.CountEnd(), 1400);
    EXPECT_EQ(counter.TotalSpeed(), 400);
    EXPECT_EQ(counter.Speed(), 1400);
}

TEST(clsCount, OverflowLeavesCounterUnchanged) {
    FakeClock clock;
    clsCount counter(clock);
    counter.Clear();
    counter.SetCountStart(kMax - 10);
    clock.Advance(100);
    ExpectOverflow([&] { counter.Count(11); });
    EXPECT_EQ(counter.CountEnd(), kMax - 10);
    EXPECT_EQ(counter.TotalTickCount(), 0);  // tick not stamped

    counter.Count(-kMax);
    counter.Count(-10);  // total now more than the range below the start
    ExpectOverflow([&] { counter.TotalSpeed(); });

    counter.Clear();
    clock.Advance(1);
    counter.Count(kMax);  // kMax units per millisecond
    ExpectOverflow([&] { counter.TotalSpeed(); });
    ExpectOverflow([&] { counter.Speed(); });
    ExpectOverflow([&] { counter.Speed(); });  // no sample was taken by the failure
}

TEST(clsCount, TotalTickCountFailsOnlyBeyondSignedRange) {
    FakeClock clock(0xF0000000U);
    clsCount counter(clock);
    counter.Clear();
    clock.Advance(0x7FFFFFFFU);
    counter.Count(0);
    EXPECT_EQ(counter.TotalTickCount(), kMax);
    clock.Advance(1);
    counter.Count(0);
    ExpectOverflow([&] { counter.TotalTickCount(); });
}

}  // namespace
}  // namespace launcher
