#include "DispatchCall.h"

#include <algorithm>
#include <vector>

namespace qv::win::com {

HRESULT CallMethod(IDispatch* object, DISPID id, std::initializer_list<VARIANT> arguments, Variant& result,
                   ErrorReport* error, WORD flags) {
    return CallMethod(object, id, std::span<const VARIANT>(arguments.begin(), arguments.size()), result, error, flags);
}

HRESULT CallMethod(IDispatch* object, DISPID id, std::span<const VARIANT> arguments, Variant& result,
                   ErrorReport* error, WORD flags) {
    if (!object) {
        return E_POINTER;
    }
    std::vector<VARIANT> reversed(arguments.begin(), arguments.end());
    std::reverse(reversed.begin(), reversed.end());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const HRESULT hr =
        object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.Address(), &exception, &argumentError);
    if (hr == DISP_E_EXCEPTION) {
        ErrorReport report = TakeErrorReport(exception);
        if (error) {
            *error = std::move(report);
        }
    } else if (error) {
        error->result = hr;
    }
    return hr;
}

HRESULT PutProperty(IDispatch* object, DISPID id, VARIANT value, ErrorReport* error, bool byReference) {
    if (!object) {
        return E_POINTER;
    }
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    EXCEPINFO exception{};
    const HRESULT hr =
        object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, byReference ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT,
                       &params, nullptr, &exception, nullptr);
    ErrorReport report = hr == DISP_E_EXCEPTION ? TakeErrorReport(exception) : ErrorReport{hr, {}, {}};
    if (error) {
        *error = std::move(report);
    }
    return hr;
}

HRESULT CallMethod(IDispatch* object, DISPID id, std::initializer_list<VARIANT> arguments, ErrorReport* error) {
    Variant ignored;
    return CallMethod(object, id, arguments, ignored, error);
}

VARIANT ByRef(BSTR* text) noexcept {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_BSTR;
    v.pbstrVal = text;
    return v;
}

VARIANT ByRef(short* value) noexcept {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_I2;
    v.piVal = value;
    return v;
}

VARIANT ByRefBool(VARIANT_BOOL* value) noexcept {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_BOOL;
    v.pboolVal = value;
    return v;
}

VARIANT ByRef(long* value) noexcept {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_I4;
    v.plVal = value;
    return v;
}

VARIANT ByRef(float* value) noexcept {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_R4;
    v.pfltVal = value;
    return v;
}

DISPID DispatchIdOf(IDispatch* object, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (!object || FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
        return DISPID_UNKNOWN;
    }
    return id;
}

}  // namespace qv::win::com
