#pragma once
// The validated text box as an ActiveX control: its default dual interface,
// the OLE control interfaces, the class information and the events. The
// inner box txtInput is a subclassed EDIT window; its keys and focus changes
// go through the rules after the host has seen them (TextColorInput.cpp).
#include "common/win32/com/ComObject.h"
#include "common/win32/com/ConnectionPoint.h"
#include "common/win32/com/DispatchObject.h"
#include "InnerTextBox.h"
#include "KeptText.h"
#include "common/win32/com/OleControl.h"
#include "controls/TextColorRules.h"
#include "Lumen_Control_h.h"

namespace controls::win {

// Earlier identifiers of the default and the event interface, still answered.
extern const IID IID_TextColorV1;
extern const IID IID_TextColorV2;
extern const IID DIID_TextColorEventsV1;
extern const IID DIID_TextColorEventsV2;

class TextColor final : public qv::win::com::DispatchObject<TextColor, _TextColor, qv::win::com::OleControlBase> {
public:
    static constexpr qv::win::com::InterfaceEntry<TextColor> kInterfaces[] = {
        qv::win::com::Expose<TextColor, _TextColor>(IID__TextColor),
        qv::win::com::Expose<TextColor, IDispatch>(IID_IDispatch),
        qv::win::com::Expose<TextColor, _TextColor>(IID_TextColorV1),
        qv::win::com::Expose<TextColor, _TextColor>(IID_TextColorV2)};
    static qv::win::ComPtr<ITypeInfo> DispatchTypeInfo();

    TextColor();
    ~TextColor() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;

    // Own members.
    HRESULT STDMETHODCALLTYPE SetBkClr(LONG* lClrActive, LONG* lClrDeactive) override;
    HRESULT STDMETHODCALLTYPE GetBkColor(LONG* lClrActive, LONG* lClrDeactive) override;
    HRESULT STDMETHODCALLTYPE get_ChaTwoByte(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_ChaTwoByte(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_IsNumeric(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_IsNumeric(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_MaxNumber(DOUBLE* value) override;
    HRESULT STDMETHODCALLTYPE put_MaxNumber(DOUBLE value) override;
    HRESULT STDMETHODCALLTYPE get_DigitNumber(SHORT* value) override;
    HRESULT STDMETHODCALLTYPE put_DigitNumber(SHORT value) override;
    HRESULT STDMETHODCALLTYPE get_AllowNegative(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_AllowNegative(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_IsVarName(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_IsVarName(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_SelAllWhenFocus(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_SelAllWhenFocus(VARIANT_BOOL value) override;

    // Members passed through to the inner box and the surface.
    HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* value) override;
    HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR value) override;
    HRESULT STDMETHODCALLTYPE get_ForeColor(OLE_COLOR* value) override;
    HRESULT STDMETHODCALLTYPE put_ForeColor(OLE_COLOR value) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** value) override;
    HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp* value) override;
    HRESULT STDMETHODCALLTYPE get_BackStyle(short* value) override;
    HRESULT STDMETHODCALLTYPE put_BackStyle(short value) override;
    HRESULT STDMETHODCALLTYPE get_BorderStyle(short* value) override;
    HRESULT STDMETHODCALLTYPE put_BorderStyle(short value) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE get_Alignment(short* value) override;
    HRESULT STDMETHODCALLTYPE put_Alignment(short value) override;
    HRESULT STDMETHODCALLTYPE get_CausesValidation(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_CausesValidation(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Appearance(short* value) override;
    HRESULT STDMETHODCALLTYPE put_Appearance(short value) override;
    HRESULT STDMETHODCALLTYPE get_DataMember(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_DataMember(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_DataMembers(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE get_DrawMode(short* value) override;
    HRESULT STDMETHODCALLTYPE put_DrawMode(short value) override;
    HRESULT STDMETHODCALLTYPE get_FontBold(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_FontBold(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_FontItalic(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_FontItalic(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_FontName(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_FontName(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_FontSize(float* value) override;
    HRESULT STDMETHODCALLTYPE put_FontSize(float value) override;
    HRESULT STDMETHODCALLTYPE get_FontStrikethru(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_FontStrikethru(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_FontUnderline(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_FontUnderline(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_HideSelection(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_hWnd(LONG* value) override;
    HRESULT STDMETHODCALLTYPE LinkExecute(BSTR Command) override;
    HRESULT STDMETHODCALLTYPE get_LinkItem(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_LinkItem(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_LinkMode(short* value) override;
    HRESULT STDMETHODCALLTYPE put_LinkMode(short value) override;
    HRESULT STDMETHODCALLTYPE LinkPoke() override;
    HRESULT STDMETHODCALLTYPE LinkRequest() override;
    HRESULT STDMETHODCALLTYPE LinkSend() override;
    HRESULT STDMETHODCALLTYPE get_LinkTimeout(short* value) override;
    HRESULT STDMETHODCALLTYPE put_LinkTimeout(short value) override;
    HRESULT STDMETHODCALLTYPE get_LinkTopic(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_LinkTopic(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Locked(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Locked(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_MaxLength(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_MaxLength(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_MouseIcon(IPictureDisp** value) override;
    HRESULT STDMETHODCALLTYPE putref_MouseIcon(IPictureDisp* value) override;
    HRESULT STDMETHODCALLTYPE get_MousePointer(short* value) override;
    HRESULT STDMETHODCALLTYPE put_MousePointer(short value) override;
    HRESULT STDMETHODCALLTYPE get_MultiLine(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE OLEDrag() override;
    HRESULT STDMETHODCALLTYPE get_OLEDragMode(short* value) override;
    HRESULT STDMETHODCALLTYPE put_OLEDragMode(short value) override;
    HRESULT STDMETHODCALLTYPE get_PasswordChar(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_PasswordChar(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_RightToLeft(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_RightToLeft(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_ScrollBars(short* value) override;
    HRESULT STDMETHODCALLTYPE get_SelLength(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_SelLength(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_SelStart(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_SelStart(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_SelText(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_SelText(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Text(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_ToolTipText(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_ToolTipText(BSTR value) override;

protected:
    const CLSID& ClassId() const override { return CLSID_TextColor; }
    const IID& DefaultInterface() const override { return IID__TextColor; }
    qv::win::com::ConnectionPoint& EventPoint() override { return events_; }
    bool IsOlderEventInterface(REFIID iid) const override;
    HWND CreateSurface(HWND parent) override;
    HRESULT InitNewProperties() override { return S_OK; }
    HRESULT LoadProperties(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT SaveProperties(IPropertyBag* bag) override;
    void AmbientPropertyChanged(DISPID id) override;
    HWND FocusWindow() override { return box_.Window(); }

private:
    // The inner box, made with the control's window.
    InnerTextBox& Box();
    // A put that writes the inner box or the surface: asks the container,
    // writes, then tells the container which property changed.
    template <class Write>
    HRESULT PutThrough(DISPID id, Write&& write);
    // A Boolean of the inner box's font, and a change to its font.
    template <class Get>
    HRESULT ReadFont(VARIANT_BOOL* value, Get&& get);
    template <class Change>
    HRESULT WriteFont(Change&& change);

    // TextColorInput.cpp: the windows' messages, the rules and the events.
    static LRESULT CALLBACK SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK InputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR owner);
    LRESULT OnSurfaceMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnInputMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnChar(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PassToBox(UINT message, WPARAM wParam, LPARAM lParam);
    void OnFocusChange(bool gained);
    void FireMouse(DISPID id, short button, LPARAM lParam);
    int Fire(DISPID id, std::initializer_list<VARIANT> arguments);

    qv::win::com::ModuleReference module_;
    KeyRules rules_;
    FocusColours colours_;
    bool selAllWhenFocus_ = true;
    bool loading_ = false;
    short backStyle_ = 1;
    short drawMode_ = 13;
    bool causesValidation_ = true;
    short oleDragMode_ = 0;
    short linkMode_ = 0;
    short linkTimeout_ = 50;
    std::wstring dataMember_;
    std::wstring linkItem_;
    std::wstring linkTopic_;
    HWND window_ = nullptr;  // the control surface
    InnerTextBox box_;
    KeptText kept_;                               // what the rules read of box_, until its text changes
    bool fontIsAmbient_ = false;                  // the box shows the container's font
    qv::win::ComPtr<IFont> ambientWhileLoading_;  // the font entry's default during a load
    qv::win::com::ConnectionPoint events_{*static_cast<_TextColor*>(this), DIID___TextColor};
};

}  // namespace controls::win
