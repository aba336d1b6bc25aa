#pragma once
// The font the system's windows and controls are designed with (宋体,
// 9 points, GB2312), as a GDI font or as a font object, and other fonts made
// the same way.
#include "ComPtr.h"
#include "Gdi.h"
#include "WindowsApi.h"
#include <ocidl.h>

namespace qv::win {

struct FontDesign {
    const wchar_t* face = L"宋体";
    double points = 9;
    short charset = GB2312_CHARSET;
};

// For a screen of `pixelsPerInch` down.
GdiObject<HFONT> CreateGdiFont(const FontDesign& design, int pixelsPerInch);

// A font object (IFont or IFontDisp, as `iid` asks).
HRESULT CreateFontObject(const FontDesign& design, REFIID iid, void** font);

}  // namespace qv::win
