#include "ScreenUnits.h"

#include <cmath>

#include "Gdi.h"

namespace qv::win {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr int kHimetricPerInch = 2540;
constexpr double kPointsPerInch = 72.0;
constexpr int kUsualPixelsPerInch = 96;

int OrUsual(int perInch) { return perInch > 0 ? perInch : kUsualPixelsPerInch; }

}  // namespace

SIZE ScreenPixelsPerInch() {
    const WindowDc screen;
    if (!screen) return {kUsualPixelsPerInch, kUsualPixelsPerInch};
    return {OrUsual(GetDeviceCaps(screen.Get(), LOGPIXELSX)), OrUsual(GetDeviceCaps(screen.Get(), LOGPIXELSY))};
}

int TwipsToPixels(double twips, int pixelsPerInch) {
    return static_cast<int>(std::lround(twips * pixelsPerInch / kTwipsPerInch));
}

double PixelsToTwips(double pixels, int pixelsPerInch) { return pixels * kTwipsPerInch / OrUsual(pixelsPerInch); }

int HimetricToPixels(long himetric, int pixelsPerInch) { return MulDiv(himetric, pixelsPerInch, kHimetricPerInch); }

long PixelsToHimetric(int pixels, int pixelsPerInch) {
    return MulDiv(pixels, kHimetricPerInch, OrUsual(pixelsPerInch));
}

int FontHeightOfPoints(double points, int pixelsPerInch) {
    return -static_cast<int>(std::lround(points * pixelsPerInch / kPointsPerInch));
}

}  // namespace qv::win
