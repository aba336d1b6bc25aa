#include "TextColor.h"

#include "ComError.h"

namespace controls::win {

const IID IID_TextColorV1 = {0x7D52E597, 0xB4D2, 0x4220, {0xB6, 0x74, 0x40, 0xAA, 0x3D, 0x0D, 0xA2, 0x6F}};
const IID IID_TextColorV2 = {0x7928C0C4, 0x608D, 0x43BB, {0xBB, 0x11, 0x7A, 0xB0, 0xFC, 0x78, 0xEC, 0x7F}};
const IID DIID_TextColorEventsV1 = {0x03DE6E2E, 0xE5E0, 0x48E3, {0x8E, 0x50, 0x01, 0x9B, 0x67, 0x73, 0xC6, 0x76}};
const IID DIID_TextColorEventsV2 = {0xD127C4F0, 0xF538, 0x4C48, {0xA8, 0x91, 0xCD, 0xD2, 0x00, 0xD2, 0x83, 0x05}};

namespace {

VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

template <class T, class U>
HRESULT Read(T* out, U value) {
    if (!out) return E_POINTER;
    *out = static_cast<T>(value);
    return S_OK;
}

// The inner text box is not hosted by this version yet.
HRESULT NotAvailableYet() { return E_NOTIMPL; }

}  // namespace

TextColor::~TextColor() { events_.Clear(); }

qv::win::ComPtr<ITypeInfo> TextColor::DispatchTypeInfo() {
    static const qv::win::ComPtr<ITypeInfo> info = qv::win::com::ModuleTypeInfo(IID__TextColor);
    return info;
}

HRESULT STDMETHODCALLTYPE TextColor::SetBkClr(LONG* lClrActive, LONG* lClrDeactive) {
    if (!lClrActive || !lClrDeactive) return E_POINTER;
    colours_.active = static_cast<std::uint32_t>(*lClrActive);
    colours_.inactive = static_cast<std::uint32_t>(*lClrDeactive);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TextColor::GetBkColor(LONG* lClrActive, LONG* lClrDeactive) {
    if (!lClrActive || !lClrDeactive) return E_POINTER;
    *lClrActive = static_cast<LONG>(colours_.active);
    *lClrDeactive = static_cast<LONG>(colours_.inactive);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TextColor::get_ChaTwoByte(VARIANT_BOOL* value) { return Read(value, ToVariantBool(rules_.chaTwoByte)); }
HRESULT STDMETHODCALLTYPE TextColor::put_ChaTwoByte(VARIANT_BOOL value) { rules_.chaTwoByte = value != VARIANT_FALSE; return S_OK; }
HRESULT STDMETHODCALLTYPE TextColor::get_IsNumeric(VARIANT_BOOL* value) { return Read(value, ToVariantBool(rules_.isNumeric)); }
HRESULT STDMETHODCALLTYPE TextColor::put_IsNumeric(VARIANT_BOOL value) { rules_.isNumeric = value != VARIANT_FALSE; return S_OK; }
HRESULT STDMETHODCALLTYPE TextColor::get_MaxNumber(DOUBLE* value) { return Read(value, rules_.maxNumber); }
HRESULT STDMETHODCALLTYPE TextColor::put_MaxNumber(DOUBLE value) { rules_.maxNumber = value; return S_OK; }
HRESULT STDMETHODCALLTYPE TextColor::get_DigitNumber(SHORT* value) { return Read(value, rules_.digitNumber); }
HRESULT STDMETHODCALLTYPE TextColor::put_DigitNumber(SHORT value) { rules_.digitNumber = value; return S_OK; }
HRESULT STDMETHODCALLTYPE TextColor::get_AllowNegative(VARIANT_BOOL* value) { return Read(value, ToVariantBool(rules_.allowNegative)); }
HRESULT STDMETHODCALLTYPE TextColor::put_AllowNegative(VARIANT_BOOL value) { rules_.allowNegative = value != VARIANT_FALSE; return S_OK; }
HRESULT STDMETHODCALLTYPE TextColor::get_IsVarName(VARIANT_BOOL* value) { return Read(value, ToVariantBool(rules_.isVarName)); }
HRESULT STDMETHODCALLTYPE TextColor::put_IsVarName(VARIANT_BOOL value) { rules_.isVarName = value != VARIANT_FALSE; return S_OK; }
HRESULT STDMETHODCALLTYPE TextColor::get_SelAllWhenFocus(VARIANT_BOOL* value) { return Read(value, ToVariantBool(selAllWhenFocus_)); }
HRESULT STDMETHODCALLTYPE TextColor::put_SelAllWhenFocus(VARIANT_BOOL value) { selAllWhenFocus_ = value != VARIANT_FALSE; return S_OK; }

HRESULT STDMETHODCALLTYPE TextColor::GetClassInfo(ITypeInfo** out) {
    return qv::win::com::ProvideClassInfo(CLSID_TextColor, out);
}

HRESULT STDMETHODCALLTYPE TextColor::GetGUID(DWORD kind, GUID* out) {
    if (!out) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *out = DIID___TextColor;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TextColor::InterfaceSupportsErrorInfo(REFIID iid) {
    return qv::win::com::SupportsErrorInfo(iid, {&IID__TextColor});
}

HRESULT STDMETHODCALLTYPE TextColor::EnumConnectionPoints(IEnumConnectionPoints** out) {
    return qv::win::com::EnumConnectionPointsOf({&events_}, out);
}

HRESULT STDMETHODCALLTYPE TextColor::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    const bool older = IsEqualIID(iid, DIID_TextColorEventsV1) || IsEqualIID(iid, DIID_TextColorEventsV2);
    return qv::win::com::FindConnectionPointIn({&events_}, older ? DIID___TextColor : iid, out);
}

HRESULT STDMETHODCALLTYPE TextColor::get_BackColor(OLE_COLOR *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_BackColor(OLE_COLOR) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_ForeColor(OLE_COLOR *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_ForeColor(OLE_COLOR) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_Enabled(VARIANT_BOOL *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_Enabled(VARIANT_BOOL) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_Font(IFontDisp **) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::putref_Font(IFontDisp *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_BackStyle(short *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_BackStyle(short) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_BorderStyle(short *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_BorderStyle(short) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::Refresh() { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_Alignment(short *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_Alignment(short) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_CausesValidation(VARIANT_BOOL *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_CausesValidation(VARIANT_BOOL) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_Appearance(short *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_Appearance(short) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_DataMember(BSTR *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_DataMember(BSTR) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_DataMembers(IDispatch **) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_DrawMode(short *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_DrawMode(short) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_FontBold(VARIANT_BOOL *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_FontBold(VARIANT_BOOL) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_FontItalic(VARIANT_BOOL *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_FontItalic(VARIANT_BOOL) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_FontName(BSTR *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_FontName(BSTR) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_FontSize(float *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_FontSize(float) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_FontStrikethru(VARIANT_BOOL *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_FontStrikethru(VARIANT_BOOL) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_FontUnderline(VARIANT_BOOL *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_FontUnderline(VARIANT_BOOL) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_HideSelection(VARIANT_BOOL *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_hWnd(LONG *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::LinkExecute(BSTR) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_LinkItem(BSTR *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_LinkItem(BSTR) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_LinkMode(short *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_LinkMode(short) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::LinkPoke() { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::LinkRequest() { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::LinkSend() { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_LinkTimeout(short *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_LinkTimeout(short) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_LinkTopic(BSTR *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_LinkTopic(BSTR) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_Locked(VARIANT_BOOL *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_Locked(VARIANT_BOOL) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_MaxLength(LONG *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_MaxLength(LONG) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_MouseIcon(IPictureDisp **) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::putref_MouseIcon(IPictureDisp *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_MousePointer(short *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_MousePointer(short) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_MultiLine(VARIANT_BOOL *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::OLEDrag() { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_OLEDragMode(short *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_OLEDragMode(short) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_PasswordChar(BSTR *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_PasswordChar(BSTR) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_RightToLeft(VARIANT_BOOL *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_RightToLeft(VARIANT_BOOL) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_ScrollBars(short *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_SelLength(LONG *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_SelLength(LONG) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_SelStart(LONG *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_SelStart(LONG) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_SelText(BSTR *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_SelText(BSTR) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_Text(BSTR *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_Text(BSTR) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::get_ToolTipText(BSTR *) { return NotAvailableYet(); }
HRESULT STDMETHODCALLTYPE TextColor::put_ToolTipText(BSTR) { return NotAvailableYet(); }

}  // namespace controls::win
