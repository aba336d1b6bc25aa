#include "Variant.h"

#include "Bstr.h"

namespace qv::win {

// A VARIANT holds no pointers into itself, so moving is copying the bits and
// leaving the source empty.
Variant::Variant(Variant&& other) noexcept : value_(other.Detach()) {}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        VariantClear(&value_);
        value_ = other.Detach();
    }
    return *this;
}

Variant Variant::FromText(std::string_view utf8) {
    Variant result;
    result.value_.bstrVal = Bstr(utf8).Detach();
    result.value_.vt = VT_BSTR;
    return result;
}

Variant Variant::FromLong(long value) {
    Variant result;
    result.value_.vt = VT_I4;
    result.value_.lVal = value;
    return result;
}

Variant Variant::FromBool(bool value) {
    Variant result;
    result.value_.vt = VT_BOOL;
    result.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return result;
}

Variant Variant::FromDispatch(IDispatch* object) {
    Variant result;
    result.value_.vt = VT_DISPATCH;
    result.value_.pdispVal = object;
    if (object) {
        object->AddRef();
    }
    return result;
}

HRESULT Variant::ToText(std::string& text) const {
    Variant converted;
    const HRESULT hr =
        VariantChangeType(converted.Address(), const_cast<VARIANT*>(&value_), VARIANT_ALPHABOOL, VT_BSTR);
    if (SUCCEEDED(hr)) {
        Bstr owned;
        owned.Attach(converted.Detach().bstrVal);
        text = owned.ToUtf8();
    }
    return hr;
}

VARIANT* Variant::Address() noexcept {
    VariantClear(&value_);
    return &value_;
}

VARIANT Variant::Detach() noexcept {
    const VARIANT result = value_;
    VariantInit(&value_);
    return result;
}

}  // namespace qv::win
