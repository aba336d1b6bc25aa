#pragma once
// One control on a form: the site through which the control reaches its
// container (client site, in-place site, control site, ambient properties,
// property-change sink) and the container's handle on the control: creation,
// in-place activation, focus, resizing, saving, destruction.
//
//   auto site = MakeObject<ControlSite>("name", form, frame, ambient, journal);
//   HRESULT hr = site->Create(L"Lib.Class", rect, {bag, nullptr});
//   ... site->Dispatch() ...
//   site->Destroy();   // breaks the site <-> control cycle; required
#include <memory>
#include <string>

#include "AmbientProperties.h"
#include "common/win32/com/ComObject.h"
#include "EventRecorder.h"
#include "HostFrame.h"
#include "HostJournal.h"
#include <ocidl.h>
#include <olectl.h>

namespace control_host {

// Where a new control takes its properties from; neither means a new control (InitNew).
struct LoadSource {
    IPropertyBag* bag = nullptr;
    IStream* stream = nullptr;
};

class ControlSite final : public qv::win::com::ComObject<ControlSite, IOleClientSite, IOleInPlaceSiteEx,
                                                         IOleControlSite, IDispatch, IPropertyNotifySink> {
public:
    static constexpr qv::win::com::InterfaceEntry<ControlSite> kInterfaces[] = {
        qv::win::com::Expose<ControlSite, IOleClientSite>(IID_IOleClientSite),
        qv::win::com::Expose<ControlSite, IOleInPlaceSiteEx>(IID_IOleInPlaceSiteEx),
        qv::win::com::Expose<ControlSite, IOleInPlaceSite>(IID_IOleInPlaceSite),
        qv::win::com::Expose<ControlSite, IOleWindow>(IID_IOleWindow),
        qv::win::com::Expose<ControlSite, IOleControlSite>(IID_IOleControlSite),
        qv::win::com::Expose<ControlSite, IDispatch>(IID_IDispatch),
        qv::win::com::Expose<ControlSite, IPropertyNotifySink>(IID_IPropertyNotifySink)};

    ControlSite(std::string name, HWND form, qv::win::ComPtr<HostFrame> frame, const AmbientProperties* ambient,
                std::shared_ptr<HostJournal> journal);
    ~ControlSite() override;

    // On failure FailedStep() names the call that failed and the control is
    // gone again, except for an object without IOleObject: that one stays as
    // a plain automation object (E_NOINTERFACE).
    HRESULT Create(const std::wstring& progid, const RECT& place, const LoadSource& source);
    // Create in two steps: the object alone (no site, no loading, no window),
    // through whose IDispatch a client may call before the container places it.
    HRESULT Instantiate(const std::wstring& progid);
    HRESULT Activate(const RECT& place, const LoadSource& source);
    void Destroy();
    const char* FailedStep() const noexcept { return failedStep_; }

    DWORD MiscStatus() const noexcept { return miscStatus_; }
    IUnknown* Object() const noexcept { return unknown_.Get(); }
    qv::win::ComPtr<IDispatch> Dispatch() const { return unknown_.As<IDispatch>(); }
    const RECT& Place() const noexcept { return place_; }
    // The control's in-place window; null when it has none.
    HWND ControlWindow() const;

    HRESULT Resize(const RECT& place);
    // UI-activates the control and puts the keyboard focus into its window
    // (into its first child window, the inner box, when it has one).
    HRESULT Focus();
    HRESULT Save(IPropertyBag* bag);
    HRESULT Save(IStream* stream);
    HRESULT AmbientChanged(DISPID id);

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    // Only one control is UI-active on the form: the one before gives way.
    HRESULT STDMETHODCALLTYPE OnUIActivate() override {
        frame_->DeactivateActiveObject();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT place,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT place) override;
    // IOleInPlaceSiteEx
    HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL) override { return OnInPlaceDeactivate(); }
    HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }
    // IOleControlSite
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** extended) override;
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }
    // IDispatch: the ambient properties
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override;
    // IPropertyNotifySink
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override;
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID id) override;

private:
    HRESULT Step(HRESULT result, const char* step);
    HRESULT Load(const LoadSource& source);
    void Advise();
    void Teardown();

    std::string name_;
    HWND form_;
    qv::win::ComPtr<HostFrame> frame_;
    const AmbientProperties* ambient_;
    std::shared_ptr<HostJournal> journal_;

    qv::win::ComPtr<IUnknown> unknown_;
    qv::win::ComPtr<IOleObject> object_;
    qv::win::ComPtr<IConnectionPoint> eventPoint_;
    DWORD eventCookie_ = 0;
    qv::win::ComPtr<IConnectionPoint> notifyPoint_;
    DWORD notifyCookie_ = 0;
    DWORD miscStatus_ = 0;
    RECT place_{};
    bool inPlace_ = false;
    const char* failedStep_ = "";
};

}  // namespace control_host
