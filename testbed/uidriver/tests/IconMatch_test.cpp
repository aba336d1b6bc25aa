#include "testbed/uidriver/IconMatch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace {

using testbed::ClearBestMatch;
using testbed::IconDrawing;
using testbed::OpaqueShareShown;

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0xC00000;
constexpr std::uint32_t kFace = 0xF0F0F0;

// Four pixels: opaque red, transparent, half-transparent grey, opaque red.
IconDrawing RedIcon() { return {{kRed, kBlack, 0x404040, kRed}, {kRed, kWhite, 0xC0C0C0, kRed}}; }

TEST(OpaqueShareShown, ComparesOnlyTheOpaquePixels) {
    // The background and the blended pixel differ from both drawings: no matter.
    EXPECT_DOUBLE_EQ(OpaqueShareShown(RedIcon(), {kRed, kFace, 0x909090, kRed}), 1.0);
    EXPECT_DOUBLE_EQ(OpaqueShareShown(RedIcon(), {kRed, kFace, kFace, kFace}), 0.5);
    EXPECT_DOUBLE_EQ(OpaqueShareShown(RedIcon(), {kFace, kFace, kFace, kFace}), 0.0);
}

TEST(OpaqueShareShown, ToleratesSmallColourShiftsOnEveryChannel) {
    EXPECT_DOUBLE_EQ(OpaqueShareShown(RedIcon(), {0xD81818, kFace, kFace, 0xA80000}), 1.0);  // 24 off each
    EXPECT_DOUBLE_EQ(OpaqueShareShown(RedIcon(), {0xC00019, kFace, kFace, 0xC01900}), 0.0);  // 25 off blue, green
}

TEST(OpaqueShareShown, NothingToCompareGivesZero) {
    const IconDrawing transparent{{kBlack, kBlack}, {kWhite, kWhite}};
    EXPECT_DOUBLE_EQ(OpaqueShareShown(transparent, {kBlack, kWhite}), 0.0);
    EXPECT_DOUBLE_EQ(OpaqueShareShown(RedIcon(), {kRed, kRed}), 0.0);  // sizes differ
    EXPECT_DOUBLE_EQ(OpaqueShareShown(RedIcon(), {}), 0.0);            // no screen capture
}

TEST(ClearBestMatch, NeedsAHighShareAndALead) {
    const struct {
        std::vector<double> shares;
        std::optional<std::size_t> best;
    } cases[] = {
        {{0.01, 0.0, 1.0, 0.87}, 2},            // information against the similar question icon
        {{0.01, 0.0, 0.87, 1.0}, 3},            //
        {{0.97, 0.2, 0.1, 0.1}, 0},             //
        {{0.94, 0.1, 0.1, 0.1}, std::nullopt},  // too weak
        {{1.0, 0.0, 0.97, 0.0}, std::nullopt},  // two look alike
        {{0.0, 0.0, 0.0, 0.0}, std::nullopt},   // nothing readable on the screen
        {{}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClearBestMatch(c.shares), c.best) << ::testing::PrintToString(c.shares);
    }
}

}  // namespace
