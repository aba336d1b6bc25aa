#include "ControlSite.h"

#include "common/win32/ScreenUnits.h"

namespace control_host {
namespace {

using qv::win::ComPtr;

SIZEL HimetricOf(const RECT& place) {
    const SIZE perInch = qv::win::ScreenPixelsPerInch();
    return {qv::win::PixelsToHimetric(place.right - place.left, perInch.cx),
            qv::win::PixelsToHimetric(place.bottom - place.top, perInch.cy)};
}

}  // namespace

ControlSite::ControlSite(std::string name, HWND form, ComPtr<HostFrame> frame, const AmbientProperties* ambient,
                         std::shared_ptr<HostJournal> journal)
    : name_(std::move(name)), form_(form), frame_(std::move(frame)), ambient_(ambient), journal_(std::move(journal)) {}

// A control that still held this site would have kept it alive: nothing is left to hold it here.
ControlSite::~ControlSite() { Teardown(); }

HRESULT ControlSite::Step(HRESULT result, const char* step) {
    if (FAILED(result)) {
        failedStep_ = step;
    }
    return result;
}

HRESULT ControlSite::Create(const std::wstring& progid, const RECT& place, const LoadSource& source) {
    const HRESULT hr = Instantiate(progid);
    return SUCCEEDED(hr) ? Activate(place, source) : hr;
}

HRESULT ControlSite::Instantiate(const std::wstring& progid) {
    Destroy();
    failedStep_ = "";
    CLSID clsid{};
    HRESULT hr = Step(CLSIDFromProgID(progid.c_str(), &clsid), "CLSIDFromProgID");
    if (SUCCEEDED(hr)) {
        hr = Step(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(unknown_.Address())),
                  "CoCreateInstance");
    }
    if (SUCCEEDED(hr)) {
        object_ = unknown_.As<IOleObject>();
        if (!object_) {
            return Step(E_NOINTERFACE, "IOleObject");
        }
        hr = Step(object_->GetMiscStatus(DVASPECT_CONTENT, &miscStatus_), "GetMiscStatus");
    }
    if (FAILED(hr)) {
        Destroy();
    }
    return hr;
}

HRESULT ControlSite::Activate(const RECT& place, const LoadSource& source) {
    if (!object_) {
        return Step(E_UNEXPECTED, "IOleObject");
    }
    place_ = place;
    const bool siteFirst = (miscStatus_ & OLEMISC_SETCLIENTSITEFIRST) != 0;
    HRESULT hr = siteFirst ? Step(object_->SetClientSite(this), "SetClientSite") : S_OK;
    if (SUCCEEDED(hr)) {
        hr = Load(source);
    }
    if (SUCCEEDED(hr) && !siteFirst) {
        hr = Step(object_->SetClientSite(this), "SetClientSite");
    }
    if (SUCCEEDED(hr)) {
        object_->SetHostNames(L"control-host", nullptr);
        SIZEL extent = HimetricOf(place_);
        hr = Step(object_->SetExtent(DVASPECT_CONTENT, &extent), "SetExtent");
    }
    if (SUCCEEDED(hr)) {
        Advise();
        hr = Step(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, form_, &place_), "DoVerb");
    }
    if (FAILED(hr)) {
        Destroy();
        return hr;
    }
    if (HWND window = ControlWindow()) {
        ShowWindow(window, SW_SHOW);
    }
    return hr;
}

HRESULT ControlSite::Load(const LoadSource& source) {
    if (source.bag) {
        ComPtr<IPersistPropertyBag> persist = unknown_.As<IPersistPropertyBag>();
        return Step(persist ? persist->Load(source.bag, nullptr) : E_NOINTERFACE, "IPersistPropertyBag::Load");
    }
    ComPtr<IPersistStreamInit> streamInit = unknown_.As<IPersistStreamInit>();
    if (source.stream) {
        return Step(streamInit ? streamInit->Load(source.stream) : E_NOINTERFACE, "IPersistStreamInit::Load");
    }
    if (streamInit) {
        return Step(streamInit->InitNew(), "IPersistStreamInit::InitNew");
    }
    ComPtr<IPersistPropertyBag> persist = unknown_.As<IPersistPropertyBag>();
    return Step(persist ? persist->InitNew() : E_NOINTERFACE, "IPersistPropertyBag::InitNew");
}

// Property notifications and events are optional: a control without them still works.
void ControlSite::Advise() {
    ComPtr<IConnectionPointContainer> points = unknown_.As<IConnectionPointContainer>();
    if (!points) {
        return;
    }
    if (SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, notifyPoint_.Address())) &&
        FAILED(notifyPoint_->Advise(static_cast<IPropertyNotifySink*>(this), &notifyCookie_))) {
        notifyPoint_.Reset();
    }
    IID events{};
    ComPtr<ITypeInfo> info;
    if (FAILED(FindDefaultEvents(unknown_.Get(), events, info)) ||
        FAILED(points->FindConnectionPoint(events, eventPoint_.Address()))) {
        eventPoint_.Reset();
        return;
    }
    ComPtr<EventRecorder> recorder = qv::win::com::MakeObject<EventRecorder>(name_, events, info, journal_);
    if (FAILED(eventPoint_->Advise(static_cast<IDispatch*>(recorder.Get()), &eventCookie_))) {
        eventPoint_.Reset();
    }
}

void ControlSite::Destroy() {
    // Keeps this site alive while the control lets go of it.
    const ComPtr<ControlSite> self(this);
    Teardown();
}

void ControlSite::Teardown() {
    if (eventPoint_) {
        eventPoint_->Unadvise(eventCookie_);
        eventPoint_.Reset();
    }
    if (notifyPoint_) {
        notifyPoint_->Unadvise(notifyCookie_);
        notifyPoint_.Reset();
    }
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.Reset();
    }
    unknown_.Reset();
    inPlace_ = false;
}

HWND ControlSite::ControlWindow() const {
    ComPtr<IOleInPlaceObject> inPlace = unknown_.As<IOleInPlaceObject>();
    HWND window = nullptr;
    if (!inPlace || FAILED(inPlace->GetWindow(&window))) {
        return nullptr;
    }
    return window;
}

HRESULT ControlSite::Resize(const RECT& place) {
    if (!object_) {
        return E_UNEXPECTED;
    }
    place_ = place;
    SIZEL extent = HimetricOf(place_);
    HRESULT hr = object_->SetExtent(DVASPECT_CONTENT, &extent);
    ComPtr<IOleInPlaceObject> inPlace = unknown_.As<IOleInPlaceObject>();
    if (SUCCEEDED(hr)) {
        hr = inPlace ? inPlace->SetObjectRects(&place_, &place_) : E_NOINTERFACE;
    }
    return hr;
}

HRESULT ControlSite::Focus() {
    if (!object_) {
        return E_UNEXPECTED;
    }
    const HRESULT hr = object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, this, 0, form_, &place_);
    if (FAILED(hr)) {
        return hr;
    }
    HWND window = ControlWindow();
    if (!window) {
        return E_NOINTERFACE;
    }
    if (HWND inner = ::GetWindow(window, GW_CHILD)) {
        window = inner;
    }
    SetFocus(window);
    return hr;
}

HRESULT ControlSite::Save(IPropertyBag* bag) {
    ComPtr<IPersistPropertyBag> persist = unknown_.As<IPersistPropertyBag>();
    return persist ? persist->Save(bag, TRUE, TRUE) : E_NOINTERFACE;
}

HRESULT ControlSite::Save(IStream* stream) {
    ComPtr<IPersistStreamInit> persist = unknown_.As<IPersistStreamInit>();
    return persist ? persist->Save(stream, TRUE) : E_NOINTERFACE;
}

HRESULT ControlSite::AmbientChanged(DISPID id) {
    ComPtr<IOleControl> control = unknown_.As<IOleControl>();
    return control ? control->OnAmbientPropertyChange(id) : E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) {
        *moniker = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ControlSite::GetContainer(IOleContainer** container) {
    if (container) {
        *container = nullptr;
    }
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ControlSite::GetWindow(HWND* window) {
    if (!window) {
        return E_POINTER;
    }
    *window = form_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::OnInPlaceActivate() {
    inPlace_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::OnInPlaceDeactivate() {
    inPlace_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                                        LPRECT place, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (!frame || !document || !place || !clip || !info) {
        return E_POINTER;
    }
    *frame = frame_.Get();
    (*frame)->AddRef();
    *document = nullptr;
    *place = place_;
    GetClientRect(form_, clip);
    info->fMDIApp = FALSE;
    info->hwndFrame = form_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::OnPosRectChange(LPCRECT place) {
    if (!place) {
        return E_POINTER;
    }
    place_ = *place;
    ComPtr<IOleInPlaceObject> inPlace = unknown_.As<IOleInPlaceObject>();
    return inPlace ? inPlace->SetObjectRects(&place_, &place_) : S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::OnInPlaceActivateEx(BOOL* noRedraw, DWORD) {
    if (noRedraw) {
        *noRedraw = FALSE;
    }
    return OnInPlaceActivate();
}

HRESULT STDMETHODCALLTYPE ControlSite::GetExtendedControl(IDispatch** extended) {
    if (extended) {
        *extended = nullptr;
    }
    return E_NOTIMPL;
}

// Container units are pixels.
HRESULT STDMETHODCALLTYPE ControlSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
    if (!himetric || !container) {
        return E_POINTER;
    }
    const SIZE perInch = qv::win::ScreenPixelsPerInch();
    const float dpiX = static_cast<float>(perInch.cx);
    const float dpiY = static_cast<float>(perInch.cy);
    if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
        container->x = static_cast<float>(himetric->x) * dpiX / 2540.0f;
        container->y = static_cast<float>(himetric->y) * dpiY / 2540.0f;
    } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
        himetric->x = static_cast<LONG>(container->x * 2540.0f / dpiX + 0.5f);
        himetric->y = static_cast<LONG>(container->y * 2540.0f / dpiY + 0.5f);
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::GetTypeInfoCount(UINT* count) {
    if (!count) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                              EXCEPINFO*, UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET)) {
        return DISP_E_MEMBERNOTFOUND;
    }
    VARIANT ignored;
    const HRESULT hr = ambient_->Get(id, result ? result : &ignored);
    if (!result) {
        VariantClear(&ignored);
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE ControlSite::OnChanged(DISPID id) {
    journal_->changed.push_back(id);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::OnRequestEdit(DISPID id) {
    journal_->requestEdit.push_back(id);
    return S_OK;
}

}  // namespace control_host
