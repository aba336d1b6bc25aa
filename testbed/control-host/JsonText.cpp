#include "JsonText.h"

#include <cstdio>
#include <cstdlib>

#include "common/win32/Bstr.h"
#include "common/win32/ComPtr.h"
#include "common/win32/Variant.h"
#include <olectl.h>

namespace control_host {
namespace {

Json ObjectJson(IUnknown* object) {
    Json shown = {{"object", true}};
    qv::win::ComPtr<IFont> font;
    if (FAILED(object->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.Address())))) {
        return shown;
    }
    qv::win::Bstr name;
    CY size{};
    BOOL bold = FALSE;
    font->get_Name(name.Address());
    font->get_Size(&size);
    font->get_Bold(&bold);
    shown["font"] = {{"name", name.ToUtf8()}, {"size", static_cast<double>(size.int64) / 10000.0}, {"bold", bold != 0}};
    return shown;
}

}  // namespace

std::string JsonLine(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

std::string JsonNumber(double number) {
    char text[40];
    for (int digits = 15; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, number);
        if (std::strtod(text, nullptr) == number) {
            break;
        }
    }
    return text;
}

std::string HexResult(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

Json VariantJson(const VARIANT& value) {
    if (value.vt & VT_BYREF) {
        qv::win::Variant direct;
        if (FAILED(VariantCopyInd(direct.Address(), const_cast<VARIANT*>(&value)))) {
            return nullptr;
        }
        return VariantJson(direct.Get());
    }
    switch (value.vt) {
        case VT_EMPTY:
        case VT_NULL:
            return nullptr;
        case VT_BOOL:
            return value.boolVal != VARIANT_FALSE;
        case VT_BSTR:
            return qv::win::Bstr(std::wstring_view(value.bstrVal ? value.bstrVal : L"")).ToUtf8();
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return value.punkVal ? ObjectJson(value.punkVal) : Json(nullptr);
        case VT_I1:
        case VT_I2:
        case VT_I4:
        case VT_INT:
        case VT_ERROR:
        case VT_I8:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_UINT:
        case VT_UI8: {
            const bool unsignedWide = value.vt == VT_UI8;
            qv::win::Variant wide;
            if (FAILED(VariantChangeType(wide.Address(), const_cast<VARIANT*>(&value), 0,
                                         static_cast<VARTYPE>(unsignedWide ? VT_UI8 : VT_I8)))) {
                return nullptr;
            }
            return unsignedWide ? Json(wide.Get().ullVal) : Json(wide.Get().llVal);
        }
        default: {
            qv::win::Variant real;
            if (FAILED(VariantChangeType(real.Address(), const_cast<VARIANT*>(&value), 0, VT_R8))) {
                return nullptr;
            }
            return real.Get().dblVal;
        }
    }
}

}  // namespace control_host
