#include "InputDate.h"

#include <cstring>

#include "common/win32/com/ComError.h"
#include "ControlPersistence.h"
#include "controls/DateText.h"
#include "common/win32/com/DispatchCall.h"
#include "controls/InputDateProperties.h"
#include "common/win32/TextConvert.h"
#include "common/win32/com/TypeLibrary.h"
#include "common/win32/Variant.h"

namespace controls::win {
namespace {

using qv::win::Variant;

// The members that notify the container.
enum : DISPID { kBorderStyle = 0x68030001, kBackStyle, kEnabled, kForeColor, kBackColor };

// What the inner masked box answers (its own and its extender's identifiers).
constexpr DISPID kInnerMask = 16;
constexpr DISPID kInnerText = 22;
constexpr DISPID kInnerEnabled = static_cast<DISPID>(0x8001000d);

VARIANT Of(VARTYPE type, LONG bits) {
    VARIANT value;
    VariantInit(&value);
    value.vt = type;
    value.lVal = bits;
    return value;
}

HRESULT ReadFrom(const Variant& value, VARTYPE type, void* out, std::size_t size) {
    if (!out) return E_POINTER;
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT result = VariantChangeType(&converted, const_cast<VARIANT*>(&value.Get()), 0, type);
    if (SUCCEEDED(result)) std::memcpy(out, &converted.lVal, size);
    VariantClear(&converted);
    return result;
}

}  // namespace

InputDate::InputDate() { SetInitialSize(130, 21); }

InputDate::~InputDate() {
    events_.Clear();
    if (box_) box_->SetListener(nullptr);
    DestroySurface();
}

qv::win::ComPtr<ITypeInfo> InputDate::DispatchTypeInfo() {
    static const qv::win::ComPtr<ITypeInfo> info = qv::win::com::ModuleTypeInfo(IID__InputDate);
    return info;
}

HRESULT STDMETHODCALLTYPE InputDate::QueryInterface(REFIID iid, void** out) {
    const HRESULT own = qv::win::com::QueryFromTable(this, kInterfaces, iid, out);
    return own == E_NOINTERFACE ? qv::win::com::QueryOleControl(this, iid, out) : own;
}

IDispatch* InputDate::Inner() {
    // During the window's creation inner_ is set before the first call.
    if (!inner_) Surface();
    return inner_.Get();
}

HRESULT InputDate::GetInner(DISPID id, VARIANT* value) {
    Variant result;
    qv::win::com::ErrorReport error;
    const HRESULT hr = qv::win::com::CallMethod(Inner(), id, {}, result, &error, DISPATCH_PROPERTYGET);
    if (FAILED(hr)) {
        return hr == DISP_E_EXCEPTION
                   ? qv::win::com::SetComError(error.result, IID__InputDate, error.source, error.description)
                   : hr;
    }
    *value = result.Detach();
    return S_OK;
}

HRESULT InputDate::PutInner(DISPID id, VARIANT value, bool byReference) {
    // The inner box's errors reach the caller as the box gave them.
    qv::win::com::ErrorReport error;
    const HRESULT hr = qv::win::com::PutProperty(Inner(), id, value, &error, byReference);
    if (hr == DISP_E_EXCEPTION) {
        return qv::win::com::SetComError(error.result, IID__InputDate, error.source, error.description);
    }
    return hr;
}

template <class Write>
HRESULT InputDate::PutNotifying(DISPID id, Write&& write) {
    if (!Inner()) return E_UNEXPECTED;
    if (!loading_ && !RequestEdit(id)) return CTL_E_SETNOTPERMITTED;
    const HRESULT result = write();
    if (SUCCEEDED(result) && !loading_) PropertyChanged(id);
    return result;
}

template <class T>
HRESULT InputDate::ReadInner(DISPID id, VARTYPE type, T* value) {
    if (!value) return E_POINTER;
    Variant held;
    const HRESULT hr = GetInner(id, held.Address());
    return FAILED(hr) ? hr : ReadFrom(held, type, value, sizeof(T));
}

HRESULT STDMETHODCALLTYPE InputDate::get_BackColor(OLE_COLOR* value) {
    return ReadInner(DISPID_BACKCOLOR, VT_UI4, value);
}
HRESULT STDMETHODCALLTYPE InputDate::put_BackColor(OLE_COLOR value) {
    return PutNotifying(kBackColor, [&] { return PutInner(DISPID_BACKCOLOR, Of(VT_UI4, static_cast<LONG>(value))); });
}
HRESULT STDMETHODCALLTYPE InputDate::get_ForeColor(OLE_COLOR* value) {
    return ReadInner(DISPID_FORECOLOR, VT_UI4, value);
}
HRESULT STDMETHODCALLTYPE InputDate::put_ForeColor(OLE_COLOR value) {
    return PutNotifying(kForeColor, [&] { return PutInner(DISPID_FORECOLOR, Of(VT_UI4, static_cast<LONG>(value))); });
}
HRESULT STDMETHODCALLTYPE InputDate::get_Enabled(VARIANT_BOOL* value) {
    return ReadInner(kInnerEnabled, VT_BOOL, value);
}
HRESULT STDMETHODCALLTYPE InputDate::put_Enabled(VARIANT_BOOL value) {
    VARIANT flag = Of(VT_BOOL, 0);
    flag.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return PutNotifying(kEnabled, [&] { return PutInner(kInnerEnabled, flag); });
}
HRESULT STDMETHODCALLTYPE InputDate::get_BorderStyle(LONG* value) {
    return ReadInner(DISPID_BORDERSTYLE, VT_I4, value);
}
HRESULT STDMETHODCALLTYPE InputDate::put_BorderStyle(LONG value) {
    return PutNotifying(kBorderStyle, [&] { return PutInner(DISPID_BORDERSTYLE, Of(VT_I4, value)); });
}

HRESULT STDMETHODCALLTYPE InputDate::get_Font(IFontDisp** value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    Variant held;
    const HRESULT hr = GetInner(DISPID_FONT, held.Address());
    if (FAILED(hr)) return hr;
    if ((held.Type() != VT_DISPATCH && held.Type() != VT_UNKNOWN) || !held.Get().punkVal) return S_OK;
    return held.Get().punkVal->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(value));
}

HRESULT STDMETHODCALLTYPE InputDate::putref_Font(IFontDisp* value) {
    VARIANT font = Of(VT_DISPATCH, 0);
    font.pdispVal = value;
    return PutNotifying(DISPID_FONT, [&] { return PutInner(DISPID_FONT, font, true); });
}

// The background style is only kept: saved, loaded, read back.
HRESULT STDMETHODCALLTYPE InputDate::get_BackStyle(short* value) {
    if (!value) return E_POINTER;
    *value = backStyle_;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE InputDate::put_BackStyle(short value) {
    return PutNotifying(kBackStyle, [&] {
        backStyle_ = value;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE InputDate::Refresh() {
    return qv::win::com::CallMethod(Inner(), DISPID_REFRESH, {}, nullptr);
}

HRESULT InputDate::ApplyFormat(std::int16_t nFormat) {
    const DateLayout& layout = LayoutForSetFormat(nFormat);
    // The inner box comes first: its creation step must never run after this call's effect.
    if (!Inner()) return E_UNEXPECTED;
    const std::wstring mask(layout.mask.begin(), layout.mask.end());
    Variant text = Variant::FromText(qv::win::Narrow(mask));
    const HRESULT result = PutInner(kInnerMask, text.Get());
    if (SUCCEEDED(result)) format_ = nFormat;
    return result;
}

HRESULT STDMETHODCALLTYPE InputDate::SetFormat(short* nFormat) {
    if (!nFormat) return E_POINTER;
    HRESULT result = S_OK;
    const HRESULT checked =
        qv::win::com::ComEntry(IID__InputDate, "", [&] { result = ApplyFormat(static_cast<std::int16_t>(*nFormat)); });
    return FAILED(checked) ? checked : result;
}

HRESULT STDMETHODCALLTYPE InputDate::GetFormat(short* value) {
    if (!value) return E_POINTER;
    *value = format_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InputDate::SetBkClr(LONG* lClrActive, LONG* lClrDeactive) {
    if (!lClrActive || !lClrDeactive) return E_POINTER;
    if (!Inner()) return E_UNEXPECTED;
    colours_.active = static_cast<std::uint32_t>(*lClrActive);
    colours_.inactive = static_cast<std::uint32_t>(*lClrDeactive);
    return PutInner(DISPID_BACKCOLOR, Of(VT_UI4, *lClrDeactive));
}

HRESULT STDMETHODCALLTYPE InputDate::GetBkColor(LONG* lClrActive, LONG* lClrDeactive) {
    if (!lClrActive || !lClrDeactive) return E_POINTER;
    *lClrActive = static_cast<LONG>(colours_.active);
    *lClrDeactive = static_cast<LONG>(colours_.inactive);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InputDate::get_Text(BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    Variant held;
    const HRESULT hr = GetInner(kInnerText, held.Address());
    if (FAILED(hr)) return hr;
    VARIANT text = held.Detach();
    const HRESULT converted = VariantChangeType(&text, &text, 0, VT_BSTR);
    if (FAILED(converted)) {
        VariantClear(&text);
        return converted;
    }
    *value = text.bstrVal;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE InputDate::put_Text(BSTR value) {
    const std::string given = value ? qv::win::Narrow(std::wstring_view(value, SysStringLen(value))) : std::string();
    const DateLayout* layout = FindDateLayout(format_);
    const std::string shown = FormatDateText(given, layout ? layout->content : DateContent::DateAndMinutes);
    Variant text = Variant::FromText(shown);
    return PutInner(kInnerText, text.Get());
}

HRESULT InputDate::InitNewProperties() {
    backStyle_ = 0;
    return S_OK;
}

HRESULT InputDate::LoadProperties(IPropertyBag* bag, IErrorLog* log) {
    loading_ = true;
    const qv::win::ComPtr<IFont> ambient = AmbientFontCopy();
    const HRESULT result =
        LoadSavedProperties(static_cast<_InputDate*>(this), bag, log, DateBoxSavedProperties(), ambient.Get());
    loading_ = false;
    return result;
}

HRESULT InputDate::SaveProperties(IPropertyBag* bag) {
    const qv::win::ComPtr<IFont> ambient = AmbientFontCopy();
    return SaveSavedProperties(static_cast<_InputDate*>(this), bag, DateBoxSavedProperties(), ambient.Get());
}

}  // namespace controls::win
