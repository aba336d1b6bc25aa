#include "TextColor.h"

#include "common/win32/com/ComError.h"
#include "ControlEvents.h"
#include "ControlPersistence.h"
#include "controls/TextColorProperties.h"

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

HRESULT ReadText(BSTR* out, const std::wstring& text) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

std::wstring TextOf(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

HRESULT StoreChoice(short& field, short value, short lowest, short highest) {
    if (value < lowest || value > highest) return InvalidPropertyValue(IID__TextColor);
    field = value;
    return S_OK;
}

HRESULT NoDdeConversation() {
    return qv::win::com::SetComError(qv::win::com::ErrorNumberToHResult(282), IID__TextColor, "Lumen_Control",
                                     "没有应用程序响应 DDE 会话请求");
}

// Dispatch identifiers of the members that notify the container.
enum : DISPID {
    kToolTipText = 0x68030005,
    kText,
    kSelText,
    kSelStart,
    kSelLength,
    kRightToLeft = 0x6803000b,
    kPasswordChar,
    kOLEDragMode,
    kMousePointer = 0x6803000f,
    kMouseIcon,
    kMaxLength,
    kLocked,
    kLinkTopic,
    kLinkTimeout,
    kLinkMode,
    kLinkItem,
    kFontUnderline = 0x68030019,
    kFontStrikethru,
    kFontSize,
    kFontName,
    kFontItalic,
    kFontBold,
    kDrawMode,
    kDataMember = 0x68030021,
    kAppearance,
    kCausesValidation,
    kAlignment,
    kBorderStyle,
    kBackStyle,
    kEnabled,
    kForeColor,
    kBackColor,
};

}  // namespace

TextColor::TextColor() { SetInitialSize(100, 21); }

TextColor::~TextColor() {
    events_.Clear();
    DestroySurface();
}

HRESULT STDMETHODCALLTYPE TextColor::QueryInterface(REFIID iid, void** out) {
    const HRESULT own = qv::win::com::QueryFromTable(this, kInterfaces, iid, out);
    return own == E_NOINTERFACE ? qv::win::com::QueryOleControl(this, iid, out) : own;
}

InnerTextBox& TextColor::Box() {
    Surface();
    return box_;
}

template <class Write>
HRESULT TextColor::PutThrough(DISPID id, Write&& write) {
    if (!Box().Window()) return E_UNEXPECTED;
    // While the container loads the control, only the mouse icon is announced.
    const bool announce = !loading_ || id == kMouseIcon;
    if (announce && !RequestEdit(id)) return CTL_E_SETNOTPERMITTED;
    const HRESULT result = write();
    if (SUCCEEDED(result) && announce) PropertyChanged(id);
    return result;
}

template <class Get>
HRESULT TextColor::ReadFont(VARIANT_BOOL* value, Get&& get) {
    if (!value) return E_POINTER;
    BOOL flag = FALSE;
    IFont* font = Box().Font();
    const HRESULT result = font ? get(font, &flag) : S_OK;
    *value = ToVariantBool(flag != FALSE);
    return result;
}

template <class Change>
HRESULT TextColor::WriteFont(Change&& change) {
    IFont* font = Box().Font();
    if (!font) return E_UNEXPECTED;
    const HRESULT result = change(font);
    box_.ApplyFont();
    if (!loading_) fontIsAmbient_ = false;
    return result;
}

HRESULT TextColor::LoadProperties(IPropertyBag* bag, IErrorLog* log) {
    loading_ = true;
    ambientWhileLoading_ = AmbientFontCopy();
    const HRESULT result =
        LoadSavedProperties(static_cast<_TextColor*>(this), bag, log, SavedProperties(), ambientWhileLoading_.Get());
    loading_ = false;
    ambientWhileLoading_.Reset();
    return result;
}

HRESULT TextColor::SaveProperties(IPropertyBag* bag) {
    const qv::win::ComPtr<IFont> ambient = AmbientFontCopy();
    return SaveSavedProperties(static_cast<_TextColor*>(this), bag, SavedProperties(), ambient.Get());
}

void TextColor::AmbientPropertyChanged(DISPID id) {
    if (id != DISPID_AMBIENT_FONT && id != DISPID_UNKNOWN) return;
    // A box still showing the container's font follows it.
    if (!fontIsAmbient_) return;
    const qv::win::ComPtr<IFont> ambient = AmbientFontCopy();
    if (ambient) Box().SetFont(ambient.Get());
}

qv::win::ComPtr<ITypeInfo> TextColor::DispatchTypeInfo() {
    static const qv::win::ComPtr<ITypeInfo> info = qv::win::com::ModuleTypeInfo(IID__TextColor);
    return info;
}

HRESULT STDMETHODCALLTYPE TextColor::SetBkClr(LONG* lClrActive, LONG* lClrDeactive) {
    if (!lClrActive || !lClrDeactive) return E_POINTER;
    colours_.active = static_cast<std::uint32_t>(*lClrActive);
    colours_.inactive = static_cast<std::uint32_t>(*lClrDeactive);
    // Any 32-bit value is taken; the box shows the inactive colour at once.
    Box().ShowBackColor(static_cast<OLE_COLOR>(colours_.inactive));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TextColor::GetBkColor(LONG* lClrActive, LONG* lClrDeactive) {
    if (!lClrActive || !lClrDeactive) return E_POINTER;
    *lClrActive = static_cast<LONG>(colours_.active);
    *lClrDeactive = static_cast<LONG>(colours_.inactive);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TextColor::get_ChaTwoByte(VARIANT_BOOL* value) {
    return Read(value, ToVariantBool(rules_.chaTwoByte));
}
HRESULT STDMETHODCALLTYPE TextColor::put_ChaTwoByte(VARIANT_BOOL value) {
    rules_.chaTwoByte = value != VARIANT_FALSE;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE TextColor::get_IsNumeric(VARIANT_BOOL* value) {
    return Read(value, ToVariantBool(rules_.isNumeric));
}
HRESULT STDMETHODCALLTYPE TextColor::put_IsNumeric(VARIANT_BOOL value) {
    rules_.isNumeric = value != VARIANT_FALSE;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE TextColor::get_MaxNumber(DOUBLE* value) { return Read(value, rules_.maxNumber); }
HRESULT STDMETHODCALLTYPE TextColor::put_MaxNumber(DOUBLE value) {
    rules_.maxNumber = value;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE TextColor::get_DigitNumber(SHORT* value) { return Read(value, rules_.digitNumber); }
HRESULT STDMETHODCALLTYPE TextColor::put_DigitNumber(SHORT value) {
    rules_.digitNumber = value;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE TextColor::get_AllowNegative(VARIANT_BOOL* value) {
    return Read(value, ToVariantBool(rules_.allowNegative));
}
HRESULT STDMETHODCALLTYPE TextColor::put_AllowNegative(VARIANT_BOOL value) {
    rules_.allowNegative = value != VARIANT_FALSE;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE TextColor::get_IsVarName(VARIANT_BOOL* value) {
    return Read(value, ToVariantBool(rules_.isVarName));
}
HRESULT STDMETHODCALLTYPE TextColor::put_IsVarName(VARIANT_BOOL value) {
    rules_.isVarName = value != VARIANT_FALSE;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE TextColor::get_SelAllWhenFocus(VARIANT_BOOL* value) {
    return Read(value, ToVariantBool(selAllWhenFocus_));
}
HRESULT STDMETHODCALLTYPE TextColor::put_SelAllWhenFocus(VARIANT_BOOL value) {
    selAllWhenFocus_ = value != VARIANT_FALSE;
    return S_OK;
}

bool TextColor::IsOlderEventInterface(REFIID iid) const {
    return IsEqualIID(iid, DIID_TextColorEventsV1) || IsEqualIID(iid, DIID_TextColorEventsV2);
}

HRESULT STDMETHODCALLTYPE TextColor::get_BackColor(OLE_COLOR* value) { return Read(value, Box().BackColor()); }
HRESULT STDMETHODCALLTYPE TextColor::put_BackColor(OLE_COLOR value) {
    return PutThrough(kBackColor, [&] { return box_.SetBackColor(value); });
}
HRESULT STDMETHODCALLTYPE TextColor::get_ForeColor(OLE_COLOR* value) { return Read(value, Box().ForeColor()); }
HRESULT STDMETHODCALLTYPE TextColor::put_ForeColor(OLE_COLOR value) {
    return PutThrough(kForeColor, [&] { return box_.SetForeColor(value); });
}
HRESULT STDMETHODCALLTYPE TextColor::get_Enabled(VARIANT_BOOL* value) {
    return Read(value, ToVariantBool(Box().Enabled()));
}
HRESULT STDMETHODCALLTYPE TextColor::put_Enabled(VARIANT_BOOL value) {
    return PutThrough(kEnabled, [&] {
        box_.SetEnabled(value != VARIANT_FALSE);
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_Font(IFontDisp** value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    IFont* font = Box().Font();
    return font ? font->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(value)) : S_OK;
}
HRESULT STDMETHODCALLTYPE TextColor::putref_Font(IFontDisp* value) {
    if (!value) return InvalidPropertyValue(IID__TextColor);
    qv::win::ComPtr<IFont> font;
    const HRESULT found = value->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.Address()));
    if (FAILED(found)) return found;
    const HRESULT result = PutThrough(DISPID_FONT, [&] { return Box().SetFont(font.Get()); });
    if (SUCCEEDED(result)) {
        // A load that found no font entry gives the container's font: the box keeps following it.
        qv::win::ComPtr<IUnknown> given = font.As<IUnknown>();
        qv::win::ComPtr<IUnknown> ambient = ambientWhileLoading_ ? ambientWhileLoading_.As<IUnknown>() : nullptr;
        fontIsAmbient_ = loading_ && given.Get() == ambient.Get();
    }
    return result;
}
HRESULT STDMETHODCALLTYPE TextColor::get_BackStyle(short* value) { return Read(value, backStyle_); }
HRESULT STDMETHODCALLTYPE TextColor::put_BackStyle(short value) {
    return PutThrough(kBackStyle, [&] { return StoreChoice(backStyle_, value, 0, 1); });
}
HRESULT STDMETHODCALLTYPE TextColor::get_BorderStyle(short* value) { return Read(value, Box().BorderStyle()); }
HRESULT STDMETHODCALLTYPE TextColor::put_BorderStyle(short value) {
    return PutThrough(kBorderStyle, [&] { return box_.SetBorderStyle(value); });
}
HRESULT STDMETHODCALLTYPE TextColor::Refresh() {
    Box().Refresh();
    return S_OK;
}
HRESULT STDMETHODCALLTYPE TextColor::get_Alignment(short* value) { return Read(value, Box().Alignment()); }
HRESULT STDMETHODCALLTYPE TextColor::put_Alignment(short value) {
    return PutThrough(kAlignment, [&] { return box_.SetAlignment(value); });
}
HRESULT STDMETHODCALLTYPE TextColor::get_CausesValidation(VARIANT_BOOL* value) {
    return Read(value, ToVariantBool(causesValidation_));
}
HRESULT STDMETHODCALLTYPE TextColor::put_CausesValidation(VARIANT_BOOL value) {
    return PutThrough(kCausesValidation, [&] {
        causesValidation_ = value != VARIANT_FALSE;
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_Appearance(short* value) { return Read(value, Box().Appearance()); }
HRESULT STDMETHODCALLTYPE TextColor::put_Appearance(short value) {
    return PutThrough(kAppearance, [&] { return box_.SetAppearance(value); });
}
HRESULT STDMETHODCALLTYPE TextColor::get_DataMember(BSTR* value) { return ReadText(value, dataMember_); }
HRESULT STDMETHODCALLTYPE TextColor::put_DataMember(BSTR value) {
    return PutThrough(kDataMember, [&] {
        dataMember_ = TextOf(value);
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_DataMembers(IDispatch** value) {
    // No data source is bound to the box: the collection is empty (Nothing).
    return Read(value, static_cast<IDispatch*>(nullptr));
}
HRESULT STDMETHODCALLTYPE TextColor::get_DrawMode(short* value) { return Read(value, drawMode_); }
HRESULT STDMETHODCALLTYPE TextColor::put_DrawMode(short value) {
    return PutThrough(kDrawMode, [&] { return StoreChoice(drawMode_, value, 1, 16); });
}
HRESULT STDMETHODCALLTYPE TextColor::get_FontBold(VARIANT_BOOL* value) {
    return ReadFont(value, [](IFont* font, BOOL* bold) { return font->get_Bold(bold); });
}
HRESULT STDMETHODCALLTYPE TextColor::put_FontBold(VARIANT_BOOL value) {
    return PutThrough(kFontBold,
                      [&] { return WriteFont([&](IFont* font) { return font->put_Bold(value != VARIANT_FALSE); }); });
}
HRESULT STDMETHODCALLTYPE TextColor::get_FontItalic(VARIANT_BOOL* value) {
    return ReadFont(value, [](IFont* font, BOOL* italic) { return font->get_Italic(italic); });
}
HRESULT STDMETHODCALLTYPE TextColor::put_FontItalic(VARIANT_BOOL value) {
    return PutThrough(kFontItalic,
                      [&] { return WriteFont([&](IFont* font) { return font->put_Italic(value != VARIANT_FALSE); }); });
}
HRESULT STDMETHODCALLTYPE TextColor::get_FontName(BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    IFont* font = Box().Font();
    return font ? font->get_Name(value) : ReadText(value, L"");
}
HRESULT STDMETHODCALLTYPE TextColor::put_FontName(BSTR value) {
    // A bag without a font name loads as an empty name: the font from the
    // "Font" entry stays. From the host an empty name is refused.
    if (SysStringLen(value) == 0) return loading_ ? S_OK : InvalidPropertyValue(IID__TextColor);
    return PutThrough(kFontName, [&] { return WriteFont([&](IFont* font) { return font->put_Name(value); }); });
}
HRESULT STDMETHODCALLTYPE TextColor::get_FontSize(float* value) {
    if (!value) return E_POINTER;
    *value = 0;
    CY size{};
    IFont* font = Box().Font();
    const HRESULT result = font ? font->get_Size(&size) : S_OK;
    *value = static_cast<float>(static_cast<double>(size.int64) / 10000.0);
    return result;
}
HRESULT STDMETHODCALLTYPE TextColor::put_FontSize(float value) {
    // Size 0 is what a bag without the entry gives: the loaded font keeps its size.
    if (value == 0.0f && loading_) return S_OK;
    if (!(value > 0.0f) || value > 2160.0f) return InvalidPropertyValue(IID__TextColor);
    CY size{};
    size.int64 = static_cast<LONGLONG>(value * 10000.0 + 0.5);
    return PutThrough(kFontSize, [&] { return WriteFont([&](IFont* font) { return font->put_Size(size); }); });
}
HRESULT STDMETHODCALLTYPE TextColor::get_FontStrikethru(VARIANT_BOOL* value) {
    return ReadFont(value, [](IFont* font, BOOL* strike) { return font->get_Strikethrough(strike); });
}
HRESULT STDMETHODCALLTYPE TextColor::put_FontStrikethru(VARIANT_BOOL value) {
    return PutThrough(kFontStrikethru, [&] {
        return WriteFont([&](IFont* font) { return font->put_Strikethrough(value != VARIANT_FALSE); });
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_FontUnderline(VARIANT_BOOL* value) {
    return ReadFont(value, [](IFont* font, BOOL* underline) { return font->get_Underline(underline); });
}
HRESULT STDMETHODCALLTYPE TextColor::put_FontUnderline(VARIANT_BOOL value) {
    return PutThrough(kFontUnderline, [&] {
        return WriteFont([&](IFont* font) { return font->put_Underline(value != VARIANT_FALSE); });
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_HideSelection(VARIANT_BOOL* value) {
    const bool hides = (GetWindowLongPtrW(Box().Window(), GWL_STYLE) & ES_NOHIDESEL) == 0;
    return Read(value, ToVariantBool(hides));
}
HRESULT STDMETHODCALLTYPE TextColor::get_hWnd(LONG* value) {
    return Read(value, static_cast<LONG>(reinterpret_cast<LONG_PTR>(Box().Window())));
}
// The box takes part in no DDE conversation: the link settings are kept, the
// link methods report that no application answered.
HRESULT STDMETHODCALLTYPE TextColor::LinkExecute(BSTR) { return NoDdeConversation(); }
HRESULT STDMETHODCALLTYPE TextColor::get_LinkItem(BSTR* value) { return ReadText(value, linkItem_); }
HRESULT STDMETHODCALLTYPE TextColor::put_LinkItem(BSTR value) {
    return PutThrough(kLinkItem, [&] {
        linkItem_ = TextOf(value);
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_LinkMode(short* value) { return Read(value, linkMode_); }
HRESULT STDMETHODCALLTYPE TextColor::put_LinkMode(short value) {
    return PutThrough(kLinkMode, [&] { return StoreChoice(linkMode_, value, 0, 3); });
}
HRESULT STDMETHODCALLTYPE TextColor::LinkPoke() { return NoDdeConversation(); }
HRESULT STDMETHODCALLTYPE TextColor::LinkRequest() { return NoDdeConversation(); }
HRESULT STDMETHODCALLTYPE TextColor::LinkSend() { return NoDdeConversation(); }
HRESULT STDMETHODCALLTYPE TextColor::get_LinkTimeout(short* value) { return Read(value, linkTimeout_); }
HRESULT STDMETHODCALLTYPE TextColor::put_LinkTimeout(short value) {
    return PutThrough(kLinkTimeout, [&] {
        linkTimeout_ = value;
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_LinkTopic(BSTR* value) { return ReadText(value, linkTopic_); }
HRESULT STDMETHODCALLTYPE TextColor::put_LinkTopic(BSTR value) {
    return PutThrough(kLinkTopic, [&] {
        linkTopic_ = TextOf(value);
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_Locked(VARIANT_BOOL* value) {
    return Read(value, ToVariantBool(Box().Locked()));
}
HRESULT STDMETHODCALLTYPE TextColor::put_Locked(VARIANT_BOOL value) {
    return PutThrough(kLocked, [&] {
        box_.SetLocked(value != VARIANT_FALSE);
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_MaxLength(LONG* value) { return Read(value, Box().MaxLength()); }
HRESULT STDMETHODCALLTYPE TextColor::put_MaxLength(LONG value) {
    return PutThrough(kMaxLength, [&] { return box_.SetMaxLength(value); });
}
HRESULT STDMETHODCALLTYPE TextColor::get_MouseIcon(IPictureDisp** value) {
    if (!value) return E_POINTER;
    *value = Box().MouseIcon();
    if (*value) (*value)->AddRef();
    return S_OK;
}
HRESULT STDMETHODCALLTYPE TextColor::putref_MouseIcon(IPictureDisp* value) {
    return PutThrough(kMouseIcon, [&] {
        Box().SetMouseIcon(value);
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_MousePointer(short* value) { return Read(value, Box().MousePointer()); }
HRESULT STDMETHODCALLTYPE TextColor::put_MousePointer(short value) {
    return PutThrough(kMousePointer, [&] { return box_.SetMousePointer(value); });
}
HRESULT STDMETHODCALLTYPE TextColor::get_MultiLine(VARIANT_BOOL* value) { return Read(value, VARIANT_FALSE); }
// The box offers no drag source of its own: a drag started here carries nothing.
HRESULT STDMETHODCALLTYPE TextColor::OLEDrag() { return S_OK; }
HRESULT STDMETHODCALLTYPE TextColor::get_OLEDragMode(short* value) { return Read(value, oleDragMode_); }
HRESULT STDMETHODCALLTYPE TextColor::put_OLEDragMode(short value) {
    return PutThrough(kOLEDragMode, [&] { return StoreChoice(oleDragMode_, value, 0, 1); });
}
HRESULT STDMETHODCALLTYPE TextColor::get_PasswordChar(BSTR* value) { return ReadText(value, Box().PasswordChar()); }
HRESULT STDMETHODCALLTYPE TextColor::put_PasswordChar(BSTR value) {
    const std::wstring character = TextOf(value);
    if (character.size() > 1) return InvalidPropertyValue(IID__TextColor);
    return PutThrough(kPasswordChar, [&] {
        Box().SetPasswordChar(character);
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_RightToLeft(VARIANT_BOOL* value) {
    return Read(value, ToVariantBool(Box().RightToLeft()));
}
HRESULT STDMETHODCALLTYPE TextColor::put_RightToLeft(VARIANT_BOOL value) {
    return PutThrough(kRightToLeft, [&] {
        box_.SetRightToLeft(value != VARIANT_FALSE);
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_ScrollBars(short* value) { return Read(value, short{0}); }
HRESULT STDMETHODCALLTYPE TextColor::get_SelLength(LONG* value) { return Read(value, Box().SelLength()); }
HRESULT STDMETHODCALLTYPE TextColor::put_SelLength(LONG value) {
    if (value < 0) return InvalidPropertyValue(IID__TextColor);
    return PutThrough(kSelLength, [&] {
        Box().SetSelLength(value);
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_SelStart(LONG* value) { return Read(value, Box().SelStart()); }
HRESULT STDMETHODCALLTYPE TextColor::put_SelStart(LONG value) {
    if (value < 0) return InvalidPropertyValue(IID__TextColor);
    return PutThrough(kSelStart, [&] {
        Box().SetSelStart(value);
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_SelText(BSTR* value) { return ReadText(value, Box().SelText()); }
HRESULT STDMETHODCALLTYPE TextColor::put_SelText(BSTR value) {
    return PutThrough(kSelText, [&] {
        Box().SetSelText(TextOf(value));
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_Text(BSTR* value) { return ReadText(value, Box().Text()); }
HRESULT STDMETHODCALLTYPE TextColor::put_Text(BSTR value) {
    return PutThrough(kText, [&] {
        Box().SetText(TextOf(value));
        return S_OK;
    });
}
HRESULT STDMETHODCALLTYPE TextColor::get_ToolTipText(BSTR* value) { return ReadText(value, Box().ToolTipText()); }
HRESULT STDMETHODCALLTYPE TextColor::put_ToolTipText(BSTR value) {
    return PutThrough(kToolTipText, [&] {
        Box().SetToolTipText(TextOf(value));
        return S_OK;
    });
}

}  // namespace controls::win
