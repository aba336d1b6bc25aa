#include "OleControl.h"

#include "ComError.h"
#include "DispatchObject.h"
#include "MemoryPropertyBag.h"
#include "common/win32/DesignFont.h"
#include "common/win32/Gdi.h"
#include "common/win32/ScreenUnits.h"
#include <olectl.h>

namespace qv::win::com {
namespace {

// Windows wait here, hidden, while no container shows them. A system window
// class, so nothing of this library runs for it and the library can unload.
HWND ParkingWindow() {
    thread_local HWND parking = nullptr;
    if (!parking || !IsWindow(parking)) {
        parking =
            CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    }
    return parking;
}

// The window and its children, each at its place (not every platform prints
// the children of a window asked with PRF_CHILDREN).
void PrintWithChildren(HWND window, HDC dc) {
    constexpr LPARAM kWhole = PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND;
    SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), kWhole);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE)) continue;  // the control itself may be hidden
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        POINT origin{};
        OffsetViewportOrgEx(dc, place.left, place.top, &origin);
        SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), kWhole);
        SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    }
}

}  // namespace

OleControlBase::OleControlBase() { SetInitialSize(100, 21); }

OleControlBase::~OleControlBase() { DestroySurface(); }

void OleControlBase::SetInitialSize(int widthPixels, int heightPixels) {
    const SIZE perInch = ScreenPixelsPerInch();
    extent_ = {PixelsToHimetric(widthPixels, perInch.cx), PixelsToHimetric(heightPixels, perInch.cy)};
}

SIZE OleControlBase::ExtentPixels() const {
    const SIZE perInch = ScreenPixelsPerInch();
    return {HimetricToPixels(extent_.cx, perInch.cx), HimetricToPixels(extent_.cy, perInch.cy)};
}

void OleControlBase::DestroySurface() noexcept {
    propertyNotify_.Clear();
    if (surface_ && IsWindow(surface_)) DestroyWindow(surface_);
    surface_ = nullptr;
}

HWND OleControlBase::Surface() {
    if (!surface_) {
        surface_ = CreateSurface(ParkingWindow());
    }
    return surface_;
}

HRESULT OleControlBase::GetAmbient(DISPID id, VARIANT* value) {
    VariantInit(value);
    ComPtr<IDispatch> ambient = clientSite_ ? clientSite_.As<IDispatch>() : ComPtr<IDispatch>();
    if (!ambient) return E_NOINTERFACE;
    DISPPARAMS none{};
    return ambient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
}

ComPtr<IFont> OleControlBase::AmbientFontCopy() {
    Variant ambient;
    ComPtr<IFont> copy;
    if (SUCCEEDED(GetAmbient(DISPID_AMBIENT_FONT, ambient.Address())) &&
        (ambient.Type() == VT_DISPATCH || ambient.Type() == VT_UNKNOWN) && ambient.Get().punkVal) {
        ComPtr<IFont> font;
        ambient.Get().punkVal->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.Address()));
        if (font) font->Clone(copy.Address());
    }
    if (!copy) {
        // The design font of these controls when a container offers none.
        CreateFontObject(FontDesign{}, IID_IFont, reinterpret_cast<void**>(copy.Address()));
    }
    return copy;
}

bool OleControlBase::RequestEdit(DISPID id) {
    for (const ComPtr<IUnknown>& sink : propertyNotify_.Sinks()) {
        if (static_cast<IPropertyNotifySink*>(sink.Get())->OnRequestEdit(id) == S_FALSE) return false;
    }
    return true;
}

void OleControlBase::PropertyChanged(DISPID id) {
    dirty_ = true;
    for (const ComPtr<IUnknown>& sink : propertyNotify_.Sinks()) {
        static_cast<IPropertyNotifySink*>(sink.Get())->OnChanged(id);
    }
    if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

void OleControlBase::InnerFocusChanged(bool gained) {
    if (gained && inPlaceActive_ && !uiActive_) {
        InPlaceActivate(true, nullptr, nullptr);
    }
    if (controlSite_) controlSite_->OnFocus(gained ? TRUE : FALSE);
}

HRESULT STDMETHODCALLTYPE OleControlBase::SetClientSite(IOleClientSite* site) {
    clientSite_ = ComPtr<IOleClientSite>(site);
    controlSite_ = site ? clientSite_.As<IOleControlSite>() : ComPtr<IOleControlSite>();
    if (!site) inPlaceSite_.Reset();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = clientSite_.Get();
    if (*site) (*site)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::Close(DWORD saveOption) {
    if (saveOption == OLECLOSE_SAVEIFDIRTY && dirty_ && clientSite_) clientSite_->SaveObject();
    InPlaceDeactivate();
    if (adviseHolder_) adviseHolder_->SendOnClose();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent,
                                                 LPCRECT position) {
    if (!clientSite_ && activeSite) SetClientSite(activeSite);
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE:
            return InPlaceActivate(true, parent, position);
        case OLEIVERB_INPLACEACTIVATE:
            return InPlaceActivate(false, parent, position);
        case OLEIVERB_HIDE:
            UIDeactivate();
            if (surface_) ShowWindow(surface_, SW_HIDE);
            return S_OK;
        case OLEIVERB_OPEN:
        case OLEIVERB_PROPERTIES:
            return OLEOBJ_S_CANNOT_DOVERB_NOW;
        default:
            return verb < 0 ? OLEOBJ_S_INVALIDVERB : OLEOBJ_E_NOVERBS;
    }
}

HRESULT OleControlBase::InPlaceActivate(bool uiActivate, HWND parent, const RECT* position) {
    if (!clientSite_) return E_UNEXPECTED;
    if (!inPlaceActive_) {
        if (!inPlaceSite_) inPlaceSite_ = clientSite_.As<IOleInPlaceSite>();
        if (!inPlaceSite_) return E_NOINTERFACE;
        if (inPlaceSite_->CanInPlaceActivate() != S_OK) return E_FAIL;
        inPlaceSite_->OnInPlaceActivate();
        HWND siteWindow = nullptr;
        if (FAILED(inPlaceSite_->GetWindow(&siteWindow)) || !siteWindow) siteWindow = parent;
        RECT placed{};
        RECT clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        frame_.Reset();
        documentWindow_.Reset();
        inPlaceSite_->GetWindowContext(frame_.Address(), documentWindow_.Address(), &placed, &clip, &frameInfo);
        if (position) placed = *position;
        HWND window = Surface();
        if (!window || !siteWindow) {
            inPlaceSite_->OnInPlaceDeactivate();
            return E_FAIL;
        }
        SetParent(window, siteWindow);
        SetWindowPos(window, nullptr, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        inPlaceActive_ = true;
    }
    if (uiActivate && !uiActive_) {
        uiActive_ = true;
        inPlaceSite_->OnUIActivate();
        auto* active = static_cast<IOleInPlaceActiveObject*>(this);
        if (frame_) frame_->SetActiveObject(active, nullptr);
        if (documentWindow_) documentWindow_->SetActiveObject(active, nullptr);
        if (frame_) frame_->SetBorderSpace(nullptr);
        HWND focus = FocusWindow();
        if (focus && GetFocus() != focus && !IsChild(focus, GetFocus())) SetFocus(focus);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::EnumVerbs(IEnumOLEVERB** out) { return OleRegEnumVerbs(ClassId(), out); }

HRESULT STDMETHODCALLTYPE OleControlBase::GetUserClassID(CLSID* out) { return GetClassID(out); }

HRESULT STDMETHODCALLTYPE OleControlBase::GetUserType(DWORD form, LPOLESTR* out) {
    return OleRegGetUserType(ClassId(), form, out);
}

HRESULT STDMETHODCALLTYPE OleControlBase::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::Advise(IAdviseSink* sink, DWORD* cookie) {
    if (!adviseHolder_) {
        const HRESULT made = CreateOleAdviseHolder(adviseHolder_.Address());
        if (FAILED(made)) return made;
    }
    return adviseHolder_->Advise(sink, cookie);
}

HRESULT STDMETHODCALLTYPE OleControlBase::Unadvise(DWORD cookie) {
    return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE OleControlBase::EnumAdvise(IEnumSTATDATA** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(out) : E_FAIL;
}

HRESULT STDMETHODCALLTYPE OleControlBase::GetMiscStatus(DWORD aspect, DWORD* status) {
    if (!status) return E_POINTER;
    *status = aspect == DVASPECT_CONTENT ? kOleControlMiscStatus : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::GetWindow(HWND* out) {
    if (!out) return E_POINTER;
    *out = inPlaceActive_ ? surface_ : nullptr;
    return *out ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE OleControlBase::InPlaceDeactivate() {
    if (!inPlaceActive_) return S_OK;
    UIDeactivate();
    inPlaceActive_ = false;
    if (surface_) {
        ShowWindow(surface_, SW_HIDE);
        SetParent(surface_, ParkingWindow());
    }
    if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
    frame_.Reset();
    documentWindow_.Reset();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::UIDeactivate() {
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    if (documentWindow_) documentWindow_->SetActiveObject(nullptr, nullptr);
    if (frame_) frame_->SetActiveObject(nullptr, nullptr);
    if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    if (surface_) {
        SetWindowPos(surface_, nullptr, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const SIZE perInch = ScreenPixelsPerInch();
    extent_ = {PixelsToHimetric(position->right - position->left, perInch.cx),
               PixelsToHimetric(position->bottom - position->top, perInch.cy)};
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof(CONTROLINFO);
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::OnAmbientPropertyChange(DISPID id) {
    AmbientPropertyChanged(id);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::FreezeEvents(BOOL freeze) {
    freezeCount_ += freeze ? 1 : (freezeCount_ > 0 ? -1 : 0);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC target,
                                               LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                               ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!target || !bounds) return E_INVALIDARG;
    // A picture of the window as it is, scaled into the bounds.
    HWND window = Surface();
    RECT area{};
    if (window) GetClientRect(window, &area);
    const int width = area.right > 0 ? area.right : HimetricToPixels(extent_.cx, ScreenPixelsPerInch().cx);
    const int height = area.bottom > 0 ? area.bottom : HimetricToPixels(extent_.cy, ScreenPixelsPerInch().cy);
    const MemoryDc memory(CreateCompatibleDC(target));
    const GdiObject<HBITMAP> picture(CreateCompatibleBitmap(target, width, height));
    const SelectedObject selected(memory.get(), picture.get());
    RECT whole{0, 0, width, height};
    FillRect(memory.get(), &whole, GetSysColorBrush(COLOR_WINDOW));
    if (window) PrintWithChildren(window, memory.get());
    StretchBlt(target, bounds->left, bounds->top, bounds->right - bounds->left, bounds->bottom - bounds->top,
               memory.get(), 0, 0, width, height, SRCCOPY);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    viewAspects_ = aspects;
    viewFlags_ = flags;
    viewSink_ = ComPtr<IAdviseSink>(sink);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewFlags_;
    if (sink) {
        *sink = viewSink_.Get();
        if (*sink) (*sink)->AddRef();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

HRESULT STDMETHODCALLTYPE OleControlBase::GetClassID(CLSID* out) {
    if (!out) return E_POINTER;
    *out = ClassId();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::InitNew() {
    if (!Surface()) return E_OUTOFMEMORY;
    dirty_ = false;
    return InitNewProperties();
}

HRESULT STDMETHODCALLTYPE OleControlBase::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    if (!Surface()) return E_OUTOFMEMORY;
    const HRESULT result = LoadProperties(bag, log);
    dirty_ = false;
    return result;
}

HRESULT STDMETHODCALLTYPE OleControlBase::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
    if (!bag) return E_POINTER;
    if (!Surface()) return E_OUTOFMEMORY;
    const HRESULT result = SaveProperties(bag);
    if (SUCCEEDED(result) && clearDirty) dirty_ = false;
    return result;
}

HRESULT STDMETHODCALLTYPE OleControlBase::Load(IStream* stream) {
    if (!stream) return E_POINTER;
    ComPtr<MemoryPropertyBag> bag = MakeObject<MemoryPropertyBag>();
    const HRESULT read = bag->ReadFrom(stream);
    return FAILED(read) ? read : Load(bag.Get(), nullptr);
}

HRESULT STDMETHODCALLTYPE OleControlBase::Save(IStream* stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    ComPtr<MemoryPropertyBag> bag = MakeObject<MemoryPropertyBag>();
    const HRESULT saved = Save(bag.Get(), clearDirty, TRUE);
    return FAILED(saved) ? saved : bag->WriteTo(stream);
}

HRESULT STDMETHODCALLTYPE OleControlBase::GetClassInfo(ITypeInfo** out) { return ProvideClassInfo(ClassId(), out); }

HRESULT STDMETHODCALLTYPE OleControlBase::GetGUID(DWORD kind, GUID* out) {
    if (!out) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *out = EventPoint().Interface();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControlBase::InterfaceSupportsErrorInfo(REFIID iid) {
    // Loading reports a refused value of a saved form with its own number and description.
    return SupportsErrorInfo(iid, {&DefaultInterface(), &IID_IPersistPropertyBag, &IID_IPersistStreamInit});
}

HRESULT STDMETHODCALLTYPE OleControlBase::EnumConnectionPoints(IEnumConnectionPoints** out) {
    return EnumConnectionPointsOf({&EventPoint(), &propertyNotify_}, out);
}

HRESULT STDMETHODCALLTYPE OleControlBase::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    const IID& asked = IsOlderEventInterface(iid) ? EventPoint().Interface() : iid;
    return FindConnectionPointIn({&EventPoint(), &propertyNotify_}, asked, out);
}

HRESULT STDMETHODCALLTYPE OleControlBase::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    ComPtr<IStream> measure;
    HRESULT result = CreateStreamOnHGlobal(nullptr, TRUE, measure.Address());
    if (SUCCEEDED(result)) result = Save(measure.Get(), FALSE);
    LARGE_INTEGER none{};
    if (SUCCEEDED(result)) result = measure->Seek(none, STREAM_SEEK_CUR, size);
    return result;
}

}  // namespace qv::win::com

namespace qv::win::com {

HRESULT QueryOleControl(OleControlBase* control, REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    const struct {
        const IID* iid;
        IUnknown* pointer;
    } answers[] = {
        {&IID_IOleObject, static_cast<IOleObject*>(control)},
        {&IID_IOleWindow, static_cast<IOleInPlaceObject*>(control)},
        {&IID_IOleInPlaceObject, static_cast<IOleInPlaceObject*>(control)},
        {&IID_IOleInPlaceActiveObject, static_cast<IOleInPlaceActiveObject*>(control)},
        {&IID_IOleControl, static_cast<IOleControl*>(control)},
        {&IID_IViewObject, static_cast<IViewObject2*>(control)},
        {&IID_IViewObject2, static_cast<IViewObject2*>(control)},
        {&IID_IPersist, static_cast<IPersistStreamInit*>(control)},
        {&IID_IPersistStreamInit, static_cast<IPersistStreamInit*>(control)},
        {&IID_IPersistPropertyBag, static_cast<IPersistPropertyBag*>(control)},
        {&IID_IProvideClassInfo, static_cast<IProvideClassInfo2*>(control)},
        {&IID_IProvideClassInfo2, static_cast<IProvideClassInfo2*>(control)},
        {&IID_ISupportErrorInfo, static_cast<ISupportErrorInfo*>(control)},
        {&IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(control)},
    };
    for (const auto& answer : answers) {
        if (IsEqualIID(iid, *answer.iid)) {
            answer.pointer->AddRef();
            *out = answer.pointer;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

}  // namespace qv::win::com
