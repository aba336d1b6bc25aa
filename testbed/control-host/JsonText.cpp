#include "JsonText.h"

#include <cstdio>
#include <cstdlib>

#include "common/win32/Bstr.h"
#include "common/win32/ComPtr.h"
#include "common/win32/Variant.h"
#include <olectl.h>

namespace control_host {
namespace {

std::string FontJson(IUnknown* object) {
    qv::win::ComPtr<IFont> font;
    if (!object || FAILED(object->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.Address())))) {
        return {};
    }
    qv::win::Bstr name;
    CY size{};
    BOOL bold = FALSE;
    font->get_Name(name.Address());
    font->get_Size(&size);
    font->get_Bold(&bold);
    return ",\"font\":{\"name\":" + JsonQuoted(name.ToUtf8()) +
           ",\"size\":" + JsonNumber(static_cast<double>(size.int64) / 10000.0) +
           ",\"bold\":" + (bold ? "true" : "false") + "}";
}

}  // namespace

std::string JsonQuoted(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

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

std::string VariantJson(const VARIANT& value) {
    if (value.vt & VT_BYREF) {
        qv::win::Variant direct;
        if (FAILED(VariantCopyInd(direct.Address(), const_cast<VARIANT*>(&value)))) {
            return "null";
        }
        return VariantJson(direct.Get());
    }
    switch (value.vt) {
        case VT_EMPTY:
        case VT_NULL:
            return "null";
        case VT_BOOL:
            return value.boolVal ? "true" : "false";
        case VT_BSTR:
            return JsonQuoted(qv::win::Bstr(std::wstring_view(value.bstrVal ? value.bstrVal : L"")).ToUtf8());
        case VT_UNKNOWN:
        case VT_DISPATCH:
            if (!value.punkVal) {
                return "null";
            }
            return "{\"object\":true" + FontJson(value.punkVal) + "}";
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
            qv::win::Variant wide;
            if (FAILED(VariantChangeType(wide.Address(), const_cast<VARIANT*>(&value), 0,
                                         static_cast<VARTYPE>(value.vt == VT_UI8 ? VT_UI8 : VT_I8)))) {
                return "null";
            }
            return value.vt == VT_UI8 ? std::to_string(wide.Get().ullVal) : std::to_string(wide.Get().llVal);
        }
        default: {
            qv::win::Variant real;
            if (FAILED(VariantChangeType(real.Address(), const_cast<VARIANT*>(&value), 0, VT_R8))) {
                return "null";
            }
            return JsonNumber(real.Get().dblVal);
        }
    }
}

}  // namespace control_host
