#include "HostFrame.h"

namespace control_host {

bool HostFrame::PreTranslate(MSG& message) {
    if (!active_ || message.message < WM_KEYFIRST || message.message > WM_KEYLAST) {
        return false;
    }
    // The object may deactivate itself inside the call.
    const qv::win::ComPtr<IOleInPlaceActiveObject> active = active_;
    return active->TranslateAccelerator(&message) == S_OK;
}

HRESULT STDMETHODCALLTYPE HostFrame::GetWindow(HWND* window) {
    if (!window) {
        return E_POINTER;
    }
    *window = window_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HostFrame::SetBorderSpace(LPCBORDERWIDTHS widths) {
    if (!widths) {
        return S_OK;
    }
    const bool none = widths->left == 0 && widths->top == 0 && widths->right == 0 && widths->bottom == 0;
    return none ? S_OK : OLE_E_INVALIDRECT;
}

void HostFrame::DeactivateActiveObject() {
    const qv::win::ComPtr<IOleInPlaceActiveObject> previous = active_;
    if (!previous) {
        return;
    }
    qv::win::ComPtr<IOleInPlaceObject> inPlace = previous.As<IOleInPlaceObject>();
    if (inPlace) {
        inPlace->UIDeactivate();
    }
    if (active_.Get() == previous.Get()) {
        active_.Reset();
    }
}

HRESULT STDMETHODCALLTYPE HostFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    active_ = qv::win::ComPtr<IOleInPlaceActiveObject>(object);
    return S_OK;
}

}  // namespace control_host
