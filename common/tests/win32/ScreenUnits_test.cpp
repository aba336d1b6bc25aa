#include "common/win32/ScreenUnits.h"

#include <gtest/gtest.h>

namespace {

using namespace qv::win;

TEST(TwipsToPixels, ScalesByTheScreenResolutionRoundingHalvesAway) {
    struct Case {
        int twips, ppi, pixels;
    };
    const Case cases[] = {
        {5250, 96, 350}, {1455, 96, 97},   {-30000, 96, -2000}, {-30000, 120, -2500},
        {705, 144, 71},  {-705, 144, -71}, {0, 96, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.ppi), c.pixels) << c.twips << " twips at " << c.ppi;
    }
    EXPECT_EQ(TwipsToPixels(217.5, 96), 15) << "fractions of a twip count";
}

TEST(ScreenUnits, PixelsGoBackToTheSameTwipsAndHimetric) {
    for (int ppi : {96, 120, 144}) {
        for (int pixels : {0, 1, 21, 100, -7}) {
            EXPECT_EQ(TwipsToPixels(PixelsToTwips(pixels, ppi), ppi), pixels) << pixels << " at " << ppi;
            EXPECT_EQ(HimetricToPixels(PixelsToHimetric(pixels, ppi), ppi), pixels) << pixels << " at " << ppi;
        }
    }
    EXPECT_EQ(PixelsToHimetric(100, 96), 2646);
    EXPECT_DOUBLE_EQ(PixelsToTwips(5, 96), 75.0);
    // A screen that answers no resolution is taken as the usual 96.
    EXPECT_DOUBLE_EQ(PixelsToTwips(5, 0), 75.0);
    EXPECT_EQ(PixelsToHimetric(96, 0), 2540);
}

}  // namespace
