#pragma once
// Sole owner of a VARIANT and whatever it holds (text, object reference).
#include <string>
#include <string_view>

#include "WindowsApi.h"
#include <oleauto.h>

namespace qv::win {

class Variant {
public:
    Variant() noexcept { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }

    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant&& other) noexcept;
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    static Variant FromText(std::string_view utf8);  // VT_BSTR
    static Variant FromLong(long value);             // VT_I4
    static Variant FromBool(bool value);             // VT_BOOL, true as VARIANT_TRUE (-1)
    static Variant FromDispatch(IDispatch* object);  // VT_DISPATCH, with a reference of its own

    const VARIANT& Get() const noexcept { return value_; }
    VARTYPE Type() const noexcept { return value_.vt; }

    // The value as text, converted the way automation converts (True/False for
    // Booleans). Fails, with `text` unchanged, for values that have no text
    // form such as Null.
    HRESULT ToText(std::string& text) const;

    // For out parameters: clears what is held, then gives the slot.
    VARIANT* Address() noexcept;
    // Hands the value to the caller, who must clear it; this becomes empty.
    [[nodiscard]] VARIANT Detach() noexcept;

private:
    VARIANT value_;
};

}  // namespace qv::win
