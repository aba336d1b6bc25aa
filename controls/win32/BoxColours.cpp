#include "BoxColours.h"

namespace controls::win {
namespace {

COLORREF Resolve(OLE_COLOR colour) {
    COLORREF result = 0;
    if (FAILED(OleTranslateColor(colour, nullptr, &result))) result = colour & 0x00FFFFFF;
    return result;
}

}  // namespace

bool BoxColours::IsColour(OLE_COLOR colour) {
    COLORREF unused = 0;
    return SUCCEEDED(OleTranslateColor(colour, nullptr, &unused));
}

void BoxColours::SetBack(OLE_COLOR colour) {
    back_ = colour;
    brush_.reset();
}

HBRUSH BoxColours::Paint(HDC dc, bool enabled) {
    if (!brush_) brush_.reset(CreateSolidBrush(Resolve(back_)));
    SetBkColor(dc, Resolve(back_));
    SetTextColor(dc, enabled ? Resolve(fore_) : GetSysColor(COLOR_GRAYTEXT));
    return brush_.get();
}

}  // namespace controls::win
