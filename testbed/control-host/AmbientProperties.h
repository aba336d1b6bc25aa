#pragma once
// What the container tells its controls about itself: a running form (user
// mode), its font, colours and locale. One set per form, shared by its sites.
#include <string>

#include "common/win32/ComPtr.h"
#include "common/win32/WindowsApi.h"
#include <ocidl.h>
#include <olectl.h>

namespace control_host {

class AmbientProperties {
public:
    AmbientProperties();

    // DISP_E_MEMBERNOTFOUND for the ambient properties this container does not offer.
    HRESULT Get(DISPID id, VARIANT* value) const;
    // A new ambient font object; the sites then tell their controls.
    HRESULT SetFont(const std::wstring& face, double points, short charset);

private:
    qv::win::ComPtr<IFontDisp> font_;
};

// A new standard font object.
HRESULT CreateFontObject(const std::wstring& face, double points, short charset, IFontDisp** font);

}  // namespace control_host
