#pragma once
// The background and text colours of an inner box, and the brush that paints
// them (the parent answers WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC with Paint).
#include "common/win32/Gdi.h"
#include "common/win32/WindowsApi.h"
#include <olectl.h>

namespace controls::win {

class BoxColours {
public:
    // True for a colour reference or a system colour the platform knows.
    static bool IsColour(OLE_COLOR colour);

    OLE_COLOR Back() const noexcept { return back_; }
    OLE_COLOR Fore() const noexcept { return fore_; }
    // Any 32-bit value; one that names no colour shows its low 24 bits.
    void SetBack(OLE_COLOR colour);
    void SetFore(OLE_COLOR colour) noexcept { fore_ = colour; }
    // A disabled box draws its text in the system's grey.
    HBRUSH Paint(HDC dc, bool enabled);

private:
    OLE_COLOR back_ = 0x80000005;  // window background
    OLE_COLOR fore_ = 0x80000008;  // window text
    qv::win::GdiObject<HBRUSH> brush_;
};

}  // namespace controls::win
