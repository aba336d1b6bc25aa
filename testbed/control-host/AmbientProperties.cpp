#include "AmbientProperties.h"

#include "common/win32/DesignFont.h"

namespace control_host {
namespace {

void SetLong(VARIANT* value, long number) {
    value->vt = VT_I4;
    value->lVal = number;
}

void SetBool(VARIANT* value, bool flag) {
    value->vt = VT_BOOL;
    value->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace

HRESULT CreateFontObject(const std::wstring& face, double points, short charset, IFontDisp** font) {
    return qv::win::CreateFontObject({face.c_str(), points, charset}, IID_IFontDisp, reinterpret_cast<void**>(font));
}

AmbientProperties::AmbientProperties() {
    const qv::win::FontDesign design;
    SetFont(design.face, design.points, design.charset);
}

HRESULT AmbientProperties::SetFont(const std::wstring& face, double points, short charset) {
    qv::win::ComPtr<IFontDisp> font;
    const HRESULT hr = CreateFontObject(face, points, charset, font.Address());
    if (SUCCEEDED(hr)) {
        font_ = font;
    }
    return hr;
}

HRESULT AmbientProperties::Get(DISPID id, VARIANT* value) const {
    if (!value) {
        return E_POINTER;
    }
    VariantInit(value);
    switch (id) {
        case DISPID_AMBIENT_USERMODE:
            SetBool(value, true);
            return S_OK;
        case DISPID_AMBIENT_UIDEAD:
        case DISPID_AMBIENT_DISPLAYASDEFAULT:
        case DISPID_AMBIENT_MESSAGEREFLECT:
        case DISPID_AMBIENT_SHOWGRABHANDLES:
        case DISPID_AMBIENT_SHOWHATCHING:
        case DISPID_AMBIENT_SUPPORTSMNEMONICS:
            SetBool(value, false);
            return S_OK;
        case DISPID_AMBIENT_BACKCOLOR:
            SetLong(value, static_cast<long>(0x80000005UL));
            return S_OK;
        case DISPID_AMBIENT_FORECOLOR:
            SetLong(value, static_cast<long>(0x80000008UL));
            return S_OK;
        case DISPID_AMBIENT_LOCALEID:
            SetLong(value, 0x0804);
            return S_OK;
        case DISPID_AMBIENT_APPEARANCE:
            value->vt = VT_I2;
            value->iVal = 1;
            return S_OK;
        case DISPID_AMBIENT_FONT:
            if (!font_) {
                return DISP_E_MEMBERNOTFOUND;
            }
            value->vt = VT_DISPATCH;
            value->pdispVal = font_.Get();
            value->pdispVal->AddRef();
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace control_host
