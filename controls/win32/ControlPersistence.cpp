#include "ControlPersistence.h"

#include <cstdint>

#include "common/win32/ComPtr.h"
#include "common/win32/com/DispatchCall.h"
#include "common/win32/TextConvert.h"
#include "common/win32/Variant.h"

namespace controls::win {
namespace {

// What a bag answers for a name it does not hold; any other failure to read
// an entry is the entry's own fault.
constexpr HRESULT kMissingEntry = E_INVALIDARG;

VARTYPE BagType(PropertyKind kind) {
    switch (kind) {
        case PropertyKind::Colour:
            return VT_I4;
        case PropertyKind::Boolean:
            return VT_BOOL;
        case PropertyKind::Int16:
            return VT_I2;
        case PropertyKind::Int32:
            return VT_I4;
        case PropertyKind::Float32:
            return VT_R4;
        case PropertyKind::Text:
            return VT_BSTR;
        case PropertyKind::Font:
        case PropertyKind::Picture:
            return VT_DISPATCH;
    }
    return VT_EMPTY;
}

bool IsObject(PropertyKind kind) { return kind == PropertyKind::Font || kind == PropertyKind::Picture; }

// Colours keep their 32 bits: system colours (0x8000000n) are negative as the
// bag's 32-bit integer and positive as the interface's OLE_COLOR.
HRESULT ToKind(const SavedProperty& entry, VARIANT* value, bool forInterface) {
    if (entry.kind != PropertyKind::Colour) return VariantChangeType(value, value, 0, BagType(entry.kind));
    if (value->vt == VT_I4 || value->vt == VT_UI4) {
        value->vt = forInterface ? VT_UI4 : VT_I4;
        return S_OK;
    }
    HRESULT result = VariantChangeType(value, value, 0, VT_I8);
    if (SUCCEEDED(result)) {
        const auto bits = static_cast<std::uint32_t>(value->llVal);
        value->vt = forInterface ? VT_UI4 : VT_I4;
        value->ulVal = bits;
    }
    return result;
}

HRESULT Default(const SavedProperty& entry, IFont* ambientFont, VARIANT& value) {
    VariantClear(&value);
    value.vt = VT_I8;
    value.llVal = entry.numberDefault;
    switch (entry.kind) {
        case PropertyKind::Text: {
            VariantClear(&value);
            const std::wstring text = qv::win::Widen(entry.textDefault);
            value.vt = VT_BSTR;
            value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            return value.bstrVal ? S_OK : E_OUTOFMEMORY;
        }
        case PropertyKind::Font:
            value.vt = VT_DISPATCH;
            value.pdispVal = nullptr;
            return ambientFont ? ambientFont->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&value.pdispVal))
                               : S_OK;
        case PropertyKind::Picture:
            value.vt = VT_DISPATCH;
            value.pdispVal = nullptr;
            return S_OK;
        default:
            return ToKind(entry, &value, true);
    }
}

// A refused value reaches the container as the control's own error (number
// and description), not as the dispatch layer's "exception occurred".
HRESULT Put(IDispatch* control, const SavedProperty& entry, const VARIANT& value) {
    qv::win::com::ErrorReport error;
    const HRESULT result = qv::win::com::PutProperty(control, entry.dispid, value, &error, IsObject(entry.kind));
    if (result != DISP_E_EXCEPTION) return result;
    return qv::win::com::SetComError(error.result, IID_IPersistPropertyBag, error.source, error.description);
}

bool EqualsDefault(const SavedProperty& entry, VARIANT& value, IFont* ambientFont) {
    if (entry.kind == PropertyKind::Picture) return value.pdispVal == nullptr;
    if (entry.kind == PropertyKind::Font) {
        if (!value.pdispVal || !ambientFont) return !value.pdispVal && !ambientFont;
        qv::win::ComPtr<IFont> font;
        value.pdispVal->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.Address()));
        // Both realized, so that a face the system substitutes compares by the same name.
        HFONT realized = nullptr;
        ambientFont->get_hFont(&realized);
        if (font) font->get_hFont(&realized);
        return font && font->IsEqual(ambientFont) == S_OK;
    }
    qv::win::Variant fallback;
    VARIANT* slot = fallback.Address();
    if (FAILED(Default(entry, ambientFont, *slot))) return false;
    if (entry.kind == PropertyKind::Colour) return value.ulVal == slot->ulVal;
    if (FAILED(ToKind(entry, slot, false))) return false;
    return VarCmp(&value, slot, LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
}

}  // namespace

HRESULT LoadSavedProperties(IDispatch* control, IPropertyBag* bag, IErrorLog* log, std::span<const SavedProperty> table,
                            IFont* ambientFont) {
    for (const SavedProperty& entry : table) {
        const std::wstring name = qv::win::Widen(entry.name);
        qv::win::Variant value;
        VARIANT* slot = value.Address();
        slot->vt = BagType(entry.kind);
        HRESULT result = bag->Read(name.c_str(), slot, log);
        if (result == kMissingEntry || (SUCCEEDED(result) && slot->vt == VT_EMPTY)) {
            result = Default(entry, ambientFont, *slot);
        } else if (SUCCEEDED(result) && !IsObject(entry.kind)) {
            result = ToKind(entry, slot, true);
        }
        if (SUCCEEDED(result)) result = Put(control, entry, *slot);
        if (FAILED(result)) return result;
    }
    return S_OK;
}

HRESULT SaveSavedProperties(IDispatch* control, IPropertyBag* bag, std::span<const SavedProperty> table,
                            IFont* ambientFont) {
    for (const SavedProperty& entry : table) {
        qv::win::Variant value;
        VARIANT* slot = value.Address();
        DISPPARAMS none{};
        HRESULT result = control->Invoke(entry.dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, slot,
                                         nullptr, nullptr);
        if (SUCCEEDED(result) && !IsObject(entry.kind)) result = ToKind(entry, slot, false);
        if (FAILED(result)) return result;
        if (EqualsDefault(entry, *slot, ambientFont)) continue;
        const std::wstring name = qv::win::Widen(entry.name);
        result = bag->Write(name.c_str(), slot);
        if (FAILED(result)) return result;
    }
    return S_OK;
}

}  // namespace controls::win
