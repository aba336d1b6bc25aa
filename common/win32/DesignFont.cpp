#include "DesignFont.h"

#include <cmath>

#include "ScreenUnits.h"
#include <olectl.h>

namespace qv::win {

GdiObject<HFONT> CreateGdiFont(const FontDesign& design, int pixelsPerInch) {
    return GdiObject<HFONT>(CreateFontW(FontHeightOfPoints(design.points, pixelsPerInch), 0, 0, 0, FW_NORMAL, FALSE,
                                        FALSE, FALSE, static_cast<DWORD>(design.charset), OUT_DEFAULT_PRECIS,
                                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                        design.face));
}

HRESULT CreateFontObject(const FontDesign& design, REFIID iid, void** font) {
    FONTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.lpstrName = const_cast<LPOLESTR>(design.face);
    description.cySize.int64 = std::llround(design.points * 10000.0);  // CY: points times 10000
    description.sWeight = FW_NORMAL;
    description.sCharset = design.charset;
    return OleCreateFontIndirect(&description, iid, font);
}

}  // namespace qv::win
