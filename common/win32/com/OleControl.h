#pragma once
// The part of an ActiveX control that every control of the library shares:
// the OLE embedding, in-place activation, view and persistence interfaces.
// A control class lists OleControlBase among its interfaces:
//
//   class Box final : public DispatchObject<Box, IBox, OleControlBase, ...> {
//       // kInterfaces also exposes OleControlBase's interfaces (see OleControlInterfaces).
//       HWND CreateSurface(HWND parent) override;            // the control's own window
//       HRESULT LoadProperties(IPropertyBag*, IErrorLog*) override;
//       HRESULT SaveProperties(IPropertyBag*) override;
//       ...
//   };
//
// The control's window exists from creation on (the container loads
// properties before it activates the control, and those live in the window);
// until in-place activation, and after deactivation, it waits hidden under a
// parking window of the thread.
#include "ConnectionPoint.h"
#include "common/win32/WindowsApi.h"
#include <ocidl.h>
#include <oleidl.h>

namespace qv::win::com {

// What the controls tell a container about themselves (GetMiscStatus), and
// what their registration writes under MiscStatus, so that a container learns
// it before it creates one.
constexpr DWORD kOleControlMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                        OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

class OleControlBase : public IOleObject,
                       public IOleInPlaceObject,
                       public IOleInPlaceActiveObject,
                       public IOleControl,
                       public IViewObject2,
                       public IPersistStreamInit,
                       public IPersistPropertyBag,
                       public IProvideClassInfo2,
                       public ISupportErrorInfo,
                       public IConnectionPointContainer {
public:
    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent,
                                     LPCRECT position) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** out) override;
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* out) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* out) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** out) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow (of both in-place interfaces)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
    // IOleInPlaceActiveObject: the inner windows handle their own keys.
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC target, LPCRECTL bounds,
                                   LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* out) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
    HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // IProvideClassInfo2: the class and its default event interface.
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* out) override;
    // ISupportErrorInfo: the default interface reports errors.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;
    // IConnectionPointContainer: the events and IPropertyNotifySink.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

protected:
    OleControlBase();
    virtual ~OleControlBase();

    virtual const CLSID& ClassId() const = 0;
    virtual const IID& DefaultInterface() const = 0;
    virtual ConnectionPoint& EventPoint() = 0;
    // An older identifier of the event interface that the control still answers.
    virtual bool IsOlderEventInterface(REFIID) const { return false; }
    // Made once, the first time the window is needed; parented to `parent`.
    virtual HWND CreateSurface(HWND parent) = 0;
    virtual HRESULT InitNewProperties() = 0;
    virtual HRESULT LoadProperties(IPropertyBag* bag, IErrorLog* log) = 0;
    virtual HRESULT SaveProperties(IPropertyBag* bag) = 0;
    virtual void AmbientPropertyChanged(DISPID) {}
    // The window that takes the focus on UI activation (the inner box).
    virtual HWND FocusWindow() { return surface_; }

    // The control's window, made on first use (nullptr only if that failed).
    HWND Surface();
    // An ambient property of the container; VT_EMPTY when it has none.
    HRESULT GetAmbient(DISPID id, VARIANT* value);
    // A fresh copy of the container's font, or a default font when it gives none.
    ComPtr<IFont> AmbientFontCopy();
    // Before a property changes: false when a container refuses the change.
    bool RequestEdit(DISPID id);
    // After a property changed: tells the container and marks the control dirty.
    void PropertyChanged(DISPID id);
    // Called by the control when its inner window gains or loses the focus.
    void InnerFocusChanged(bool gained);
    bool EventsFrozen() const noexcept { return freezeCount_ > 0; }
    ConnectionPoint& PropertyNotifyPoint() noexcept { return propertyNotify_; }
    // Size of the control in HIMETRIC.
    SIZEL Extent() const noexcept { return extent_; }
    void SetInitialSize(int widthPixels, int heightPixels);
    // The extent in screen pixels, for making the window.
    SIZE ExtentPixels() const;
    // Destroys the window; the control's destructor calls this first.
    void DestroySurface() noexcept;

private:
    HRESULT InPlaceActivate(bool uiActivate, HWND parent, const RECT* position);
    IUnknown* Self() noexcept { return static_cast<IOleObject*>(this); }

    SIZEL extent_;
    HWND surface_ = nullptr;
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
    bool dirty_ = false;
    long freezeCount_ = 0;
    ComPtr<IOleClientSite> clientSite_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    ComPtr<IOleControlSite> controlSite_;
    ComPtr<IOleInPlaceFrame> frame_;
    ComPtr<IOleInPlaceUIWindow> documentWindow_;
    ComPtr<IOleAdviseHolder> adviseHolder_;
    ComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0;
    DWORD viewFlags_ = 0;
    ConnectionPoint propertyNotify_{*static_cast<IOleObject*>(this), IID_IPropertyNotifySink};
};

}  // namespace qv::win::com

namespace qv::win::com {

// QueryInterface for the interfaces OleControlBase implements; a control
// calls it when its own table has no answer.
HRESULT QueryOleControl(OleControlBase* control, REFIID iid, void** out) noexcept;

}  // namespace qv::win::com
