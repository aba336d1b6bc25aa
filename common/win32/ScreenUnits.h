#pragma once
// The screen's resolution and the units designs are measured in: twips
// (1440 to the inch), HIMETRIC (2540 to the inch, OLE's extents) and points
// (72 to the inch, font sizes).
#include "WindowsApi.h"

namespace qv::win {

// Pixels per inch across (cx) and down (cy); 96 where the screen answers none.
SIZE ScreenPixelsPerInch();

// Rounded to the nearest pixel, halves away from zero.
int TwipsToPixels(double twips, int pixelsPerInch);
double PixelsToTwips(double pixels, int pixelsPerInch);
int HimetricToPixels(long himetric, int pixelsPerInch);
long PixelsToHimetric(int pixels, int pixelsPerInch);
// The (negative) cell height CreateFont takes for a size in points.
int FontHeightOfPoints(double points, int pixelsPerInch);

}  // namespace qv::win
