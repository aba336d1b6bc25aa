#pragma once
// The date box as an ActiveX control. Its inner box mkInput is a masked box
// reached only through IDispatch by the dispatch identifiers a masked edit
// box answers; the date box does all editing of typed characters itself
// (InputDateInput.cpp).
#include "common/win32/com/ConnectionPoint.h"
#include "common/win32/com/DispatchObject.h"
#include "controls/InputDateLayouts.h"
#include "MaskedBox.h"
#include "common/win32/com/OleControl.h"
#include "controls/TextColorRules.h"
#include "Lumen_Control_h.h"

namespace controls::win {

class InputDate final : public qv::win::com::DispatchObject<InputDate, _InputDate, qv::win::com::OleControlBase>,
                        private MaskedBoxListener {
public:
    static constexpr qv::win::com::InterfaceEntry<InputDate> kInterfaces[] = {
        qv::win::com::Expose<InputDate, _InputDate>(IID__InputDate),
        qv::win::com::Expose<InputDate, IDispatch>(IID_IDispatch)};
    static qv::win::ComPtr<ITypeInfo> DispatchTypeInfo();

    InputDate();
    ~InputDate() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;

    // _InputDate
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
    HRESULT STDMETHODCALLTYPE get_BorderStyle(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_BorderStyle(LONG value) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE SetFormat(short* nFormat) override;
    HRESULT STDMETHODCALLTYPE GetFormat(short* value) override;
    HRESULT STDMETHODCALLTYPE SetBkClr(LONG* lClrActive, LONG* lClrDeactive) override;
    HRESULT STDMETHODCALLTYPE GetBkColor(LONG* lClrActive, LONG* lClrDeactive) override;
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Text(BSTR value) override;

protected:
    const CLSID& ClassId() const override { return CLSID_InputDate; }
    const IID& DefaultInterface() const override { return IID__InputDate; }
    qv::win::com::ConnectionPoint& EventPoint() override { return events_; }
    HWND CreateSurface(HWND parent) override;
    HRESULT InitNewProperties() override;
    HRESULT LoadProperties(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT SaveProperties(IPropertyBag* bag) override;
    HWND FocusWindow() override;

private:
    // The inner box's dispatch interface, made with the control's window.
    IDispatch* Inner();
    HRESULT GetInner(DISPID id, VARIANT* value);
    HRESULT PutInner(DISPID id, VARIANT value, bool byReference = false);
    template <class T>
    HRESULT ReadInner(DISPID id, VARTYPE type, T* value);
    template <class Write>
    HRESULT PutNotifying(DISPID id, Write&& write);
    HRESULT ApplyFormat(std::int16_t nFormat);

    // MaskedBoxListener: the inner box's keys and focus.
    void KeyDown(short& keyCode, short shift) override;
    void KeyPress(short& keyAscii) override;
    void KeyUp(short& keyCode, short shift) override;
    void GotFocus() override;
    void LostFocus() override;

    static LRESULT CALLBACK SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnSurfaceMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void PlaceInner(int width, int height);
    int Fire(DISPID id, std::initializer_list<VARIANT> arguments);

    qv::win::com::ModuleReference module_;
    std::int16_t format_ = kInitialDateFormat;
    FocusColours colours_;
    short backStyle_ = 0;
    bool loading_ = false;
    HWND window_ = nullptr;
    qv::win::ComPtr<MaskedBox> box_;
    qv::win::ComPtr<IDispatch> inner_;
    qv::win::com::ConnectionPoint events_{*static_cast<_InputDate*>(this), DIID___InputDate};
};

}  // namespace controls::win
